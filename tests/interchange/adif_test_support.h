#pragma once
// A home with an open session (ABREDBF), a few entities in ENT and helpers to
// write ADIF files and read back the QSOs of the log book.

#include "../store/home_fixture.h"

#include "interchange/adif_import.h"
#include "store/access.h"
#include "store/codepage.h"
#include "store/work_area.h"

#include <QFile>

namespace interchange::adiftest {

class NullMeter : public ui::Meter {
public:
    void setTotal(qint64 t) override { total = t; }
    void setPosition(qint64 p) override { position = p; }
    void setText(const QString&) override {}
    void setTitle(const QString&) override {}
    bool cancelled() override { return ++checks > cancelAfter && cancelAfter >= 0; }
    qint64 total = 0, position = 0;
    int checks = 0, cancelAfter = -1;
};

class AdifHome : public store::testing::HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        ASSERT_TRUE(store::ABREDBF());
        store::WorkArea* ent = ws().area(QStringLiteral("ENT"));
        ASSERT_NE(ent, nullptr);
        addEntity(ent, " 89", "281", "EU", "37", "14");   // Spain
        addEntity(ent, " 12", "021", "EU", "37", "14");   // Balearic Is.
        addEntity(ent, "251", "291", "NA", "08", "05");   // United States
        ent->setOrder(QStringLiteral("CodEnt"));
        ASSERT_NE(ws().area(QStringLiteral("Log")), nullptr);
        // a new book holds one blank record; the tests want a book without QSOs
        store::WorkArea* l = log();
        l->setOrder(0);
        for (l->goTop(); !l->eof(); l->goTop()) {
            ASSERT_TRUE(l->lockRecord().isOk());
            l->deleteRecord();
            l->unlock();
        }
        l->setOrder(1);
        ASSERT_NE(ws().area(QStringLiteral("LogQsl")), nullptr);
    }

    static void addEntity(store::WorkArea* ent, const char* cod, const char* dxcc, const char* cont, const char* ituz,
                          const char* cqz)
    {
        ASSERT_TRUE(ent->append().isOk());
        ent->put("CODENT", cod);
        ent->put("DXCC", dxcc);
        ent->put("CONT", cont);
        ent->put("ITUZ", ituz);
        ent->put("CQZ", cqz);
        ASSERT_TRUE(ent->unlock().isOk());
    }

    QString writeFile(const QByteArray& bytes, const QString& name = QStringLiteral("in.adi"))
    {
        const QString path = program + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    AdifImportResult import(const QString& path, bool dup = false)
    {
        AdifImportOptions o;
        o.path = path;
        o.dupCheck = dup;
        o.operatorCall = QStringLiteral("EA1XX");
        o.locator = QStringLiteral("in73dm");
        NullMeter m;
        return ADIFIMP(m, o);
    }
    AdifImportResult importText(const QByteArray& body, bool dup = false)
    {
        return import(writeFile(body), dup);
    }

    static store::WorkArea* log() { return ws().area(QStringLiteral("Log")); }

    // Every visible QSO in record order.
    static std::vector<quint32> records()
    {
        std::vector<quint32> r;
        store::WorkArea* a = log();
        a->setOrder(0);
        for (a->goTop(); !a->eof(); a->skip())
            r.push_back(a->recNo());
        return r;
    }
    static QByteArray text(const char* field) { return log()->value(QString::fromLatin1(field)).bytes(); }
    static QByteArray trimmedText(const char* field) { return text(field).trimmed(); }
};

} // namespace interchange::adiftest
