#include "settings/font_text.h"

#include <QFontDatabase>
#include <QFontDialog>
#include <QStringList>

#include <cmath>
#include <cstdlib>

namespace settings {

StoredFont parseFontText(const QString& text)
{
    const QStringList parts = text.split(u'|');
    if (parts.size() != 2)
        return {};
    bool ok = false;
    const int points = parts[1].trimmed().toInt(&ok);
    return {parts[0].trimmed(), ok && points > 0 ? points : 0};
}

QString fontText(const QString& face, int points)
{
    return face.trimmed() + QStringLiteral(" | ") + QString::number(points).rightJustified(4, u' ');
}

int fontHeight(const StoredFont& f)
{
    return f.valid() ? -int(std::lround(f.points * 96.0 / 72.0)) : -11;
}

int pointsOfHeight(int height)
{
    return int(std::lround(std::abs(height) * 72.0 / 96.0));
}

QString SELFONT(const QString& stored, QWidget* parent)
{
    const StoredFont f = parseFontText(stored);
    // the chooser works in points; the height it starts from is the stored one
    QFont start = f.valid() ? QFont(f.face) : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    start.setPointSize(pointsOfHeight(fontHeight(f)));
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, start, parent, QStringLiteral("Tipo de letra"));
    if (!ok)
        return stored;
    const int height = -int(std::lround(chosen.pointSizeF() * 96.0 / 72.0));
    return fontText(chosen.family(), pointsOfHeight(height));
}

} // namespace settings
