#pragma once
// A home with the shipped reference tables and the session open on book
// EA1XX, emptied, with helpers to log QSOs and to define awards.

#include "../interchange/cabrillo_home.h"

#include "awards/award_definition.h"
#include "awards/award_status.h"
#include "awards/status_table.h"
#include "store/aliases.h"

#include <map>

namespace awards::testing {

class AwardHome : public interchange::testing::SessionHome {
protected:
    using Fields = std::map<QString, QString>;

    // A QSO with the given fields (CALL, BAND, MODE, CODENT, DXCC, QSLRCVD...).
    QString qso(const Fields& fields)
    {
        const QString key = store::KEYGEN();
        EXPECT_TRUE(log->append().isOk());
        log->put("QSODATE", QDate(2024, 5, 1));
        log->put("TIMEON", QStringLiteral("12:00"));
        for (const auto& [name, value] : fields) {
            const int pos = log->fieldPos(name);
            if (pos >= 0 && log->field(pos).type == 'N')
                log->put(name, value.toDouble());
            else
                log->put(name, value);
        }
        log->put("KEY", key);
        EXPECT_TRUE(log->unlock().isOk());
        return key;
    }
    // The usual QSO: a Spanish station (entity " 89", DXCC 281).
    QString spain(const char* band, const char* mode, const char* qsl = "N", const char* lotw = "N", const char* call = "EA4ZZ")
    {
        return qso({{"CALL", call}, {"BAND", band}, {"MODE", mode}, {"CODENT", " 89"}, {"DXCC", "281"},
                    {"QSLRCVD", qsl}, {"LOTWRCVD", lotw}});
    }
    void attach(const QString& key, const char* list, const char* ref)
    {
        store::WorkArea* refs = ws().area(store::alias::kDplLog);
        ASSERT_NE(refs, nullptr);
        ASSERT_TRUE(refs->append().isOk());
        refs->put("KEY", key);
        refs->put("DPL", list);
        refs->put("COD", ref);
        ASSERT_TRUE(refs->unlock().isOk());
    }

    static AwardDef award(const char* field, QStringList bands, QStringList modes)
    {
        AwardDef d;
        d.code = QStringLiteral("TEST");
        d.description = QStringLiteral("Prueba");
        d.field = QString::fromLatin1(field);
        d.bands = std::move(bands);
        d.modes = std::move(modes);
        return d;
    }

    AwardStatus compute(const AwardDef& def, EntitySet set = EntitySet::All)
    {
        AwardStatus s;
        QString error;
        EXPECT_TRUE(computeAward(def, set, sessionBook(), &s, &error)) << error.toStdString();
        return s;
    }

    static const StatusRow* row(const AwardStatus& s, const QString& desc, const QString& mode)
    {
        for (const StatusRow& r : s.rows)
            if (r.desc.trimmed() == desc && r.mode == mode)
                return &r;
        return nullptr;
    }
    static QStringList cells(const AwardStatus& s, const QString& desc, const QString& mode)
    {
        const StatusRow* r = row(s, desc, mode);
        return r ? r->cells : QStringList{QStringLiteral("<no row>")};
    }
    static QStringList trimmed(QStringList l)
    {
        for (QString& s : l)
            s = s.trimmed();
        return l;
    }

    void setLotwConfirms(bool on)
    {
        store::WorkArea* cfg = ws().area(store::alias::kCfg);
        if (!cfg) {
            ASSERT_TRUE(ws().use(QStringLiteral("cfg"), {.alias = store::alias::kCfg}, &cfg).isOk());
        }
        cfg->goTop();
        ASSERT_TRUE(cfg->lockRecord().isOk());
        cfg->put("LOTWCFM", on);
        ASSERT_TRUE(cfg->unlock().isOk());
    }
};

} // namespace awards::testing
