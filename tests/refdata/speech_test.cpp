// Spoken announcements with the station's voice settings.
#include "refdata/qt_speech.h"
#include "refdata/speech.h"

#include "../store/home_fixture.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace refdata;

namespace {

class RecordingSpeech : public Speech {
public:
    void speak(const QString& text, int rate, int pitch) override
    {
        said << QStringLiteral("%1|%2|%3").arg(text).arg(rate).arg(pitch);
    }
    QStringList said;
};

class SpeechTest : public store::testing::HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        setSpeech(&voice);
    }
    void TearDown() override
    {
        setSpeech(nullptr);
        HomeTest::TearDown();
    }
    RecordingSpeech voice;
};

} // namespace

TEST_F(SpeechTest, SpeaksWithTheRateAndPitchOfTheSettings)
{
    PROVASAPI("hello echo alfa uno");                  // cfg not open: read from the table
    EXPECT_EQ(voice.said, QStringList{"hello echo alfa uno|2|-2"});

    store::WorkArea* cfg = nullptr;
    ASSERT_TRUE(ws().use("cfg", {.alias = "cfg"}, &cfg).isOk());
    ASSERT_TRUE(cfg->lockRecord().isOk());
    cfg->put("VOICERATE", 7);
    cfg->put("VOICEPITCH", 25);
    ASSERT_TRUE(cfg->unlock().isOk());
    cfg->goBottom();
    cfg->skip();                                       // past the end: the settings are still found
    PROVASAPI("kilo");
    EXPECT_EQ(voice.said.last(), "kilo|7|25");
}

TEST_F(SpeechTest, WithoutSettingsTheVoiceIsNormal)
{
    ASSERT_TRUE(ws().drop("cfg").isOk());
    PROVASAPI("x");
    EXPECT_EQ(voice.said, QStringList{"x|0|0"});
}

TEST(QtSpeech, WithoutAnEngineNothingIsSpoken)
{
    if (QCoreApplication::instance())
        GTEST_SKIP() << "an application object is there";
    QtSpeech s;                                        // no application object: no engine
    EXPECT_FALSE(s.available());
    s.speak("hola", 2, -2);
}
