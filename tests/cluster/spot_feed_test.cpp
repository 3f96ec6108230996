// What the traffic of a cluster leaves in the tables: spots with their band,
// mode, entity and status against the log, duplicates once, announcements,
// talks and the WWV and WCY bulletins.
#include "cluster_home.h"

#include "cluster/servers.h"
#include "cluster/spot_rules.h"
#include "cluster/spot_status.h"

#include "refdata/speech.h"

#include <QFile>
#include <QRandomGenerator>
#include <QThread>

namespace cluster::testing {
namespace {

using store::alias::kSpots;

class SpotFeedTest : public ClusterHome {
protected:
    ChunkResult put(const QByteArray& chunk) { return feed.CRTSPOT(chunk, QStringLiteral("EA4ZZ")); }
    SpotFeed feed;
};

TEST_F(SpotFeedTest, StandardLineIsCutByItsColumnsAndFiledOnce)
{
    const QByteArray line = spotLine("N0XYZ", "14025.0", "K1ABC", "CW 599", "1234", "JN19") + "\r\n";
    ASSERT_EQ(line.indexOf("14025.0") + 7, 24);     // the layout the columns expect
    ChunkResult r = put(line);
    ASSERT_EQ(r.spots.size(), 1);
    EXPECT_TRUE(r.lastSpotAccepted);
    store::WorkArea* spots = area(kSpots);
    spots->goTo(r.spots[0].recNo);
    EXPECT_EQ(spots->str("ORIGEN").trimmed(), "N0XYZ");
    EXPECT_DOUBLE_EQ(spots->num("FREQ2"), 14025.0);
    EXPECT_DOUBLE_EQ(spots->num("FREQ"), 14.025);
    EXPECT_EQ(spots->str("CALL").trimmed(), "K1ABC");
    EXPECT_EQ(spots->str("MODE").trimmed(), "CW");
    EXPECT_EQ(spots->str("BAND").trimmed(), "20M");
    EXPECT_EQ(spots->str("TIME"), "12:34");
    EXPECT_EQ(spots->str("SQR2").trimmed(), "JN19");
    EXPECT_EQ(spots->str("COMENT").trimmed(), "CW 599");
    EXPECT_EQ(spots->str("CODENT"), refdata::DXCC("K1ABC"));
    EXPECT_FALSE(spots->str("SQR1").trimmed().isEmpty());
    // never worked: a new entity, the other letters blank
    EXPECT_EQ(spots->str("STSENT") + spots->str("STSBAND") + spots->str("STSMODE") + spots->str("STSBANDMOD"), "N   ");

    // again, from this cluster or another one (a feed of its own): still one record
    EXPECT_TRUE(put(line).spots.isEmpty());
    SpotFeed other;
    EXPECT_TRUE(other.CRTSPOT(line, QStringLiteral("EA4ZZ")).spots.isEmpty());
    EXPECT_EQ(column(kSpots, "CALL"), QStringList{"K1ABC"});
    // the same call spotted by someone else, or later, is another spot
    EXPECT_EQ(put(spotLine("EA1XX", "14025.0", "K1ABC", "CW", "1234")).spots.size(), 1);
    EXPECT_EQ(put(spotLine("N0XYZ", "14025.0", "K1ABC", "CW", "1235")).spots.size(), 1);
    EXPECT_EQ(column(kSpots, "CALL").size(), 3);
}

TEST_F(SpotFeedTest, ModeAndBandFromTheCommentOrTheBandPlanAndTheFilters)
{
    // no mode word: the band plan's segment gives mode and band
    ChunkResult r = put(spotLine("EA1XX", "14200.0", "JA1ABC", "tnx qso", "0101"));
    ASSERT_EQ(r.spots.size(), 1);
    EXPECT_EQ(r.spots[0].mode, "SSB");
    EXPECT_EQ(r.spots[0].band, "20M");
    // the first word that names a mode wins, whatever the band plan says
    r = put(spotLine("EA1XX", "14074.0", "JA1ABD", "loud rtty ft8", "0102"));
    ASSERT_EQ(r.spots.size(), 1);
    EXPECT_EQ(r.spots[0].mode, "RTTY");
    // in a band but in no segment: mode ??? and still filed (160 m is followed)
    r = put(spotLine("EA1XX", "1805.0", "JA1ABE", "", "0103"));
    ASSERT_EQ(r.spots.size(), 1);
    EXPECT_EQ(r.spots[0].mode, "???");
    EXPECT_EQ(r.spots[0].band, "160M");
    // a band not followed, a frequency in no band, a mode not followed: dropped
    EXPECT_TRUE(put(spotLine("EA1XX", "70100.0", "JA1ABF", "CW", "0104")).spots.isEmpty());
    EXPECT_TRUE(put(spotLine("EA1XX", "12000.0", "JA1ABG", "CW", "0105")).spots.isEmpty());
    r = put(spotLine("EA1XX", "14250.0", "JA1ABH", "AM test", "0106"));
    EXPECT_TRUE(r.spots.isEmpty());
    EXPECT_FALSE(r.lastSpotAccepted);
    EXPECT_EQ(column(kSpots, "CALL"), (QStringList{"JA1ABC", "JA1ABD", "JA1ABE"}));
}

TEST_F(SpotFeedTest, AnnouncementsTalksAndBulletins)
{
    // an announcement and a spot in one chunk: the spot is looked for first
    ChunkResult r = put("To ALL de EA1XX: fiesta en 7.1\r\n" + spotLine("EA1XX", "7010.0", "VK2ABC", "CW", "0200") + "\r\n");
    EXPECT_EQ(r.spots.size(), 1);
    EXPECT_EQ(refreshAfter(r), Refresh::Spots);
    EXPECT_EQ(r.announcements, 0);
    EXPECT_TRUE(column(store::alias::kAnn, "CALL").isEmpty());

    r = put("To ALL de EA1XX: fiesta en 7.1\r\n");
    EXPECT_EQ(r.announcements, 1);
    EXPECT_EQ(refreshAfter(r), Refresh::Announcements);
    EXPECT_EQ(column(store::alias::kAnn, "CALL"), QStringList{"EA1XX"});
    EXPECT_EQ(column(store::alias::kAnn, "ANN"), QStringList{"fiesta en 7.1"});
    EXPECT_EQ(column(store::alias::kAnn, "TALK"), QStringList{".F."});

    // a talk to the station: the user is told and it is filed as a talk
    r = put("EA4ZZ de EA1XX: hola, 73\a\a\r\n");
    EXPECT_EQ(r.talks, 1);
    EXPECT_TRUE(msgs.log().join('\n').contains("talk recibidoEA1XX:hola, 73")) << msgs.log().join('\n').toStdString();
    EXPECT_EQ(column(store::alias::kAnn, "TALK"), (QStringList{".F.", ".T."}));
    // the cluster's prompt names the station too, but no sender: nothing
    EXPECT_EQ(put("EA4ZZ de EA7URC  8-Dec-2026 2005Z dxspider >\r\n").talks, 0);

    r = put("WWV de W0MU <18>:   SFI=68, A=5, K=1, No Storms -> No Storms for the next days\a\a\r\n");
    EXPECT_EQ(r.wwv, 1);
    store::WorkArea* wwv = area(store::alias::kWwv);
    wwv->setOrder(0);
    wwv->goBottom();
    EXPECT_EQ(wwv->str("CALL").trimmed(), "W0MU");
    EXPECT_EQ(wwv->num("SFI"), 68);
    EXPECT_EQ(wwv->num("A"), 5);
    EXPECT_EQ(wwv->num("K"), 1);
    EXPECT_EQ(wwv->str("FORECAST"), QString(" No Storms -> No Storms f").left(25));
    EXPECT_EQ(wwv->date("DATE"), QDateTime::currentDateTimeUtc().date());

    r = put("WCY de DK0WCY-1 <18> : K=2 expK=3 A=9 R=46 SFI=114 SA=qui GMF=act Au=no\a\a\r\n");
    EXPECT_EQ(r.wcy, 1);
    store::WorkArea* wcy = area(store::alias::kWcy);
    wcy->setOrder(0);
    wcy->goBottom();
    EXPECT_EQ(wcy->str("CALL").trimmed(), "DK0WCY-1");
    EXPECT_EQ(wcy->num("K"), 2);
    EXPECT_EQ(wcy->num("EK"), 3);
    EXPECT_EQ(wcy->num("A"), 9);
    EXPECT_EQ(wcy->num("R"), 46);
    EXPECT_EQ(wcy->num("SFI"), 114);
    EXPECT_EQ(wcy->str("SA").trimmed() + wcy->str("GMF").trimmed() + wcy->str("AURORA").trimmed(), "quiactno");

    // everything but the spots went to the traffic log
    QFile log(program + "logcluster.txt");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray traffic = log.readAll();
    EXPECT_TRUE(traffic.contains("To ALL de EA1XX: fiesta en 7.1\r\n\r"));
    EXPECT_TRUE(traffic.contains("WCY de DK0WCY-1"));
    EXPECT_FALSE(traffic.contains("DX de"));
}

TEST_F(SpotFeedTest, BandFilterOfTheSpotListLeavesFilingAlone)
{
    put(spotLine("EA1XX", "14025.0", "K1ABC", "CW", "0600"));
    put(spotLine("EA1XX", "7010.0", "K1ABD", "CW", "0601"));
    put(spotLine("EA1XX", "14030.0", "K1ABE", "CW", "0602"));
    store::WorkArea* spots = area(kSpots);
    SPOTFIL("20M");
    EXPECT_EQ(spots->str("CALL").trimmed(), "K1ABE");
    std::vector<quint32> shown;
    spots->visibleRecords(&shown);
    EXPECT_EQ(shown.size(), 2u);
    // the list's band does not blind the duplicate test, nor move the list
    EXPECT_TRUE(put(spotLine("EA1XX", "7010.0", "K1ABD", "CW", "0601")).spots.isEmpty());
    EXPECT_EQ(put(spotLine("EA1XX", "7011.0", "K1ABF", "CW", "0603")).spots.size(), 1);
    EXPECT_EQ(spots->str("CALL").trimmed(), "K1ABE");
    SPOTFIL("ALL");
    spots->visibleRecords(&shown);
    EXPECT_EQ(shown.size(), 4u);
    EXPECT_EQ(spots->str("CALL").trimmed(), "K1ABF");
}

TEST_F(SpotFeedTest, ServersMarkedOnWhileTheirConnectionIsOpen)
{
    store::WorkArea* servers = area(store::alias::kCluster);
    ASSERT_NE(servers, nullptr);
    ASSERT_GE(column(store::alias::kCluster, "NOMBRE").size(), 2);
    const QString first = column(store::alias::kCluster, "NOMBRE")[0];
    ASSERT_TRUE(setServerOn(1, true));
    ASSERT_TRUE(setServerOn(2, true));
    CLSCLUS(first);
    EXPECT_EQ(column(store::alias::kCluster, "ON").mid(0, 2), (QStringList{".F.", ".T."}));
    clearServersOn();
    EXPECT_FALSE(column(store::alias::kCluster, "ON").contains(".T."));
}

TEST_F(SpotFeedTest, StatusAgainstTheLog)
{
    addQso("K1AA", "20M", "CW", "Y");
    addQso("W2BB", "40M", "SSB", "N");
    auto letters = [](const ChunkResult& r) {
        const SpotStatus& s = r.spots.value(0).status;
        return s.ent + s.band + s.mode + s.bandMode;
    };
    // entity, band, mode and band+mode all confirmed by the first QSO
    EXPECT_EQ(letters(put(spotLine("EA1XX", "14025.0", "K1ABC", "CW", "0300"))), "CCCC");
    // 40 m worked but not confirmed, CW confirmed, 40 m CW never worked
    EXPECT_EQ(letters(put(spotLine("EA1XX", "7010.0", "K1ABC", "CW", "0301"))), "CTCN");
    // 15 m never worked, SSB only worked
    EXPECT_EQ(letters(put(spotLine("EA1XX", "21250.0", "K1ABC", "SSB", "0302"))), "CNTN");
    // the log keeps its place
    EXPECT_EQ(area(store::alias::kLog)->orderName(), area(store::alias::kLog)->tagName(0));

    // an entity worked but never confirmed
    addQso("JA1XX", "20M", "CW", "N");
    EXPECT_EQ(letters(put(spotLine("EA1XX", "14025.0", "JA1ZZ", "CW", "0303"))), "TTTT");
}

TEST_F(SpotFeedTest, SummaryOfTheLogAnswersAsTheWalkAndSeesEveryChange)
{
    QRandomGenerator g(42);
    const char* calls[] = {"K1AA", "DL1AA", "JA1AA", "VK2AA", "F5AA"};
    const char* bands[] = {"20M", "40M", "15M"};
    const char* modes[] = {"CW", "SSB", "FT8"};
    for (int i = 0; i < 60; ++i)
        addQso(calls[g.bounded(5)], bands[g.bounded(3)], modes[g.bounded(3)], g.bounded(4) ? "N" : "Y");
    addQso("G4ABC", "20M", "SSB", "N", "EU-005");
    addQso("GM4ABC", "20M", "SSB", "Y", "EU-010");
    const QStringList iotaWalked = {CHKIOTA("EU005"), CHKIOTA("EU010"), CHKIOTA("EU 018")};
    EXPECT_EQ(iotaWalked, (QStringList{"T", "C", "N"}));
    QThread::msleep(1100);   // a log at rest: the summary answers
    EXPECT_EQ((QStringList{CHKIOTA("EU005"), CHKIOTA("EU010"), CHKIOTA("EU 018")}), iotaWalked);
    const QStringList codes = {refdata::DXCC("K1AA"), refdata::DXCC("DL1AA"), refdata::DXCC("JA1AA"),
                               refdata::DXCC("VK2AA"), refdata::DXCC("F5AA"), refdata::DXCC("ZS1AA")};
    auto all = [&](auto status) {
        QStringList out;
        for (const QString& e : codes)
            for (const char* b : {"20M", "40M", "15M", "10M"})
                for (const char* m : {"CW", "SSB", "FT8", "RTTY"}) {
                    const SpotStatus s = status(e, QString(b), QString(m));
                    out << s.ent + s.band + s.mode + s.bandMode;
                }
        return out;
    };
    const QStringList walked = all(spotStatusByWalk);
    EXPECT_EQ(all(SPOTACTSTS), walked);
    const QString letters = walked.join(u',');   // every kind of answer is asked for
    EXPECT_TRUE(letters.contains(u'C') && letters.contains(u'T') && walked.contains("N   ")) << letters.toStdString();

    // a QSL marked just now is seen at once, and again once the log is at rest
    store::WorkArea* log = area(store::alias::kLog);
    log->setOrder(0);
    for (log->goTop(); !log->eof(); log->skip()) {
        ASSERT_TRUE(log->lockRecord().isOk());
        log->put("QSLRCVD", "Y");
        log->unlock();
    }
    const QStringList confirmed = all(spotStatusByWalk);
    EXPECT_NE(confirmed, walked);
    EXPECT_EQ(all(SPOTACTSTS), confirmed);
    EXPECT_EQ(CHKIOTA("EU005"), "C");
    QThread::msleep(1100);
    EXPECT_EQ(all(SPOTACTSTS), confirmed);
    EXPECT_EQ(CHKIOTA("EU005"), "C");
}

TEST_F(SpotFeedTest, IotaStatusFromTheComment)
{
    EXPECT_EQ(iotaReference("QRV EU 005 NOW"), "EU-005");
    EXPECT_EQ(iotaReference("EU005"), "EU-005");
    EXPECT_EQ(iotaReference("IOTA EU-005"), "EU-005");
    EXPECT_EQ(iotaReference("CW 599"), "");
    EXPECT_EQ(CHKIOTA("OC-999"), "");           // not in the IOTA table
    EXPECT_EQ(CHKIOTA("EU 005"), "N");

    setCfg("CIOTAACT", store::Value::logical(true));
    addQso("G4ABC", "20M", "SSB", "N", "EU-005");
    ChunkResult r = put(spotLine("EA1XX", "14250.0", "GM3ABC", "eu 005 ssb", "0400"));
    ASSERT_EQ(r.spots.size(), 1);
    EXPECT_EQ(r.spots[0].status.iota, "T");
    addQso("G4ABD", "20M", "SSB", "Y", "EU-005");
    EXPECT_EQ(CHKIOTA("EU 005"), "C");
    // without the setting the letter stays blank
    setCfg("CIOTAACT", store::Value::logical(false));
    r = put(spotLine("EA1XX", "14251.0", "GM3ABD", "EU-005", "0401"));
    ASSERT_EQ(r.spots.size(), 1);
    EXPECT_EQ(r.spots[0].status.iota, " ");
}

TEST_F(SpotFeedTest, ColourAndSoundRules)
{
    store::WorkArea* rules = area(store::alias::kCfgSpot);
    ASSERT_NE(rules, nullptr);
    QFile sound(program + "nuevo.wav");
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    sound.close();
    auto rule = [&](const char* fld, const char* e, const char* m, const char* b, const char* x, const char* i, int fore,
                    int back, const QString& snd = QString()) {
        ASSERT_TRUE(rules->append([&](store::WorkArea& a) {
            a.put("FLD", fld);
            a.put("STSENT", e);
            a.put("STSMODE", m);
            a.put("STSBAND", b);
            a.put("STSBANDMOD", x);
            a.put("STSIOTA", i);
            a.put("COLFOR", fore);
            a.put("COLBCK", back);
            return a.put("SND", snd);
        }).isOk());
        rules->unlock();
    };
    rule("*", "N", " ", " ", " ", " ", 255, 65535, sound.fileName());   // a new entity: red on yellow
    rule("*", " ", " ", "N", " ", " ", 16711680, 16777215);             // a new band: blue
    rule("B", " ", " ", "N", " ", " ", 32768, 16777215);                // frequency cell of a new band
    rule("CO", " ", " ", " ", " ", "N", 128, 16777215, program + "missing.wav");

    SpotStatus newEntity;
    newEntity.ent = "N";
    SpotStatus newBand;
    newBand.ent = "C", newBand.band = "N", newBand.mode = "C", newBand.bandMode = "N", newBand.iota = "N";

    // colours off: black on the window background, whatever the rules
    EXPECT_EQ(SPOTCOL(newEntity).fore, 0);
    EXPECT_EQ(SPOTCOL(newEntity).back, -1);
    EXPECT_FALSE(SPOTCOL(newEntity).found);
    setCfg("CCOLACT", store::Value::logical(true));
    EXPECT_EQ(SPOTCOL(newEntity).fore, 255);
    EXPECT_EQ(SPOTCOL(newEntity).back, 65535);
    EXPECT_EQ(SPOTCOL(newBand).fore, 16711680);
    EXPECT_EQ(SPOTCOLBAND(newBand).fore, 32768);
    EXPECT_EQ(SPOTCOLMODE(newBand).fore, 16711680);   // no mode-cell rule: the row colour
    EXPECT_EQ(SPOTCOLIOTA(newBand).fore, 128);
    SpotStatus worked;
    worked.ent = "T", worked.band = "T", worked.mode = "T", worked.bandMode = "T";
    EXPECT_FALSE(SPOTCOL(worked).found);

    // sounds: only when switched on, and only a file that exists
    EXPECT_EQ(SPOTSND(newEntity), "");
    setCfg("CSNDACT", store::Value::logical(true));
    EXPECT_EQ(SPOTSND(newEntity), sound.fileName());
    EXPECT_EQ(SPOTSND(newBand), "");       // its IOTA rule's file is missing
    EXPECT_EQ(SPOTSND(worked), "");
}

struct RecordingSpeech : refdata::Speech {
    void speak(const QString& text, int, int) override { said << text; }
    QStringList said;
};

TEST_F(SpotFeedTest, VoiceAlertOnlyForAcceptedSpotsWhenSwitchedOn)
{
    RecordingSpeech speech;
    refdata::setSpeech(&speech);
    put(spotLine("EA1XX", "14025.0", "K1ABC", "CW", "0500"));
    setCfg("CLSVOICE", store::Value::logical(true));
    put(spotLine("EA1XX", "14025.0", "K1ABD", "CW", "0500"));
    put(spotLine("EA1XX", "70100.0", "K1ABE", "CW", "0500"));     // 4 m is not followed
    refdata::setSpeech(nullptr);
    EXPECT_EQ(speech.said, QStringList{ALPHA("K1ABD")});
}

TEST(Alpha, SpellsTheCallWordByWord)
{
    EXPECT_EQ(ALPHA(" ea4/k1 ").toStdString(), " echo  alpha  four /  kilo  one ");
    EXPECT_EQ(ALPHA("W0X").toStdString(), " whiskie 0  x-ray ");
    EXPECT_EQ(ALPHA(""), "");
}

} // namespace
} // namespace cluster::testing
