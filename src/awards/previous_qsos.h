#pragma once
// The previous-QSO window's rules without its widgets: the search over the
// log cursor Log2 (ACTQSOANT) and the values of the information panel
// (ACTUALIZA).

#include <QString>

namespace store {
class WorkArea;
}

namespace awards {

// True when the call matches the pattern, where "*" stands for any run of
// characters and "?" for one; upper and lower case alike.
bool wildcardMatch(const QString& call, const QString& pattern);

// ACTQSOANT: partial search keeps the QSOs whose call holds the text anywhere
// ("*" + text + "*", the user's own "*" and "?" kept as wildcards); otherwise
// the calls beginning with the text. The area goes to its first record.
void ACTQSOANT(store::WorkArea& log2, const QString& text, bool partial);

struct InfoPanel {
    QString entity;              // CODENT
    QString entityName;
    QString farLocator;          // the QSO's locator, or the entity's reference locator
    QString ownLocator;
    int bearing = 0, distance = 0;
    QString cqz, ituz;
    QString sunrise = QStringLiteral("  :  "), sunset = QStringLiteral("  :  ");
    QString utcDifference;       // the entity's DHORA
    QString localTime = QStringLiteral("  :  ");

    bool measured() const { return !farLocator.isEmpty() && !ownLocator.isEmpty(); }
    // "Paso corto" and "Paso largo": bearing "   45º", distance " 1.234 Km"; empty
    // without both locators.
    QString shortPathBearing() const;
    QString shortPathDistance() const;
    QString longPathBearing() const;
    QString longPathDistance() const;
};

// ACTUALIZA from a QSO (the entry form's buffer or Log2's row): its entity,
// its locator (the entity's reference locator when empty) and its own
// locator (the station's when the QSO has none); today's sun times.
InfoPanel infoFromQso(const QString& entity, const QString& locator, const QString& ownLocator,
                      const QString& stationLocator = QString());
// ACTUALIZA from a call that matches no earlier QSO: its entity resolved
// today, measured from the station's locator.
InfoPanel infoFromCall(const QString& call, const QString& stationLocator);

} // namespace awards
