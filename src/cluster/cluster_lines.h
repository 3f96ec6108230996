#pragma once
// The lines a DX-cluster server sends, cut into their parts by the fixed
// columns and markers of the common cluster programs. Pure functions on the
// bytes received (Windows-1252): no tables, no clock, never a crash on any
// input; a line that cannot be what it claims gives false.

#include <QByteArray>
#include <QString>

namespace cluster {

// "DX de N0XYZ:     14025.0  K1ABC        CW 599 ...               1234Z JN19"
struct SpotLine {
    QString spotter;     // columns 7-15, colons removed, trimmed
    double kHz = 0;      // columns 16-26
    QString call;        // columns 27-38, trimmed
    QString comment;     // columns 40-69, trimmed
    QString time;        // "12:34" from columns 71-74
    QString locator;     // columns 77-80 unless column 77 is BEL; may be empty
};
// s begins with "DX de" and ends before its CR. False for a frequency that is
// not a number between 0 and 999999.99 kHz, an empty call or one with
// characters no call has, a time that is not four digits, or an empty spotter.
bool parseSpotLine(const QByteArray& s, SpotLine* out);

// A talk addressed to the station, or an announcement to all.
struct Announcement {
    QString call;        // the sender
    QString text;        // what follows the sender's colon, trimmed
};
// A talk: the line holding stationCall + " de SENDER: text" (trailing BELs
// dropped). False when the station call is empty or no sender is named.
bool parseTalk(const QByteArray& b, const QByteArray& stationCall, Announcement* out);
// "To ALL de SENDER: text". False when no sender is named.
bool parseAnnouncement(const QByteArray& b, Announcement* out);

// "WWV de W0MU <18>:   SFI=68, A=5, K=1, No Storms -> No Storms"
struct WwvBulletin {
    QString call;
    int sfi = 0, a = 0, k = 0;
    QString forecast;    // the last piece that is none of the three, whole, cut to 25
};
bool parseWwv(const QByteArray& b, WwvBulletin* out);

// "WCY de DK0WCY-1 <18> : K=2 expK=2 A=9 R=46 SFI=114 SA=qui GMF=qui Au=no"
struct WcyBulletin {
    QString call;
    int k = 0, ek = 0, a = 0, r = 0, sfi = 0;
    QString sa, gmf, aurora;   // three characters at most each
};
bool parseWcy(const QByteArray& b, WcyBulletin* out);

// The leading number of a text as xBase's VAL reads it ("68abc" is 68, "x" is 0).
double leadingNumber(const QByteArray& s, bool* any = nullptr);

} // namespace cluster
