#pragma once
// Fonts as the settings keep them (FONTPRI, FONTENT): the face name, " | "
// and the size in points in four characters ("Arial |   10"). The chooser
// works with the height of the font in screen pixels at 96 per inch, negative
// as the stored form has it.

#include <QString>

class QWidget;

namespace settings {

struct StoredFont {
    QString face;
    int points = 0;     // 0: no size stored
    bool valid() const { return !face.isEmpty() && points > 0; }
};

StoredFont parseFontText(const QString& text);
QString fontText(const QString& face, int points);
// -(points * 96 / 72), rounded; the height the chooser starts from (-11 when none is stored).
int fontHeight(const StoredFont& f);
// |height| * 72 / 96, rounded: the points stored back.
int pointsOfHeight(int height);

// The font chooser on a stored font text; the new text, or the old one when cancelled.
QString SELFONT(const QString& stored, QWidget* parent = nullptr);

} // namespace settings
