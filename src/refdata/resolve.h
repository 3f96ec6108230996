#pragma once
// Call-sign resolution: the entity of a call at a date (DXCC), the prefix a call
// counts for (PFX, no table), and the CQ zone of a call (CQZ).
//
// DXCC works on the session's work areas "Pfx" (order Pfx) and "ENT" (order
// CodEnt) as ABREDBF opens them; an area that is not open is opened shared
// under its alias. When the result is an entity code other than "  0" or "",
// ENT is left on that entity's record, where callers read its other fields.
//
// The prefix table is kept in memory as an image of its index order, with the
// record of each entity code. On every call the image is compared with the
// change counters of the prefix index (read from the file, so changes made by
// the import, the entity window or another process show at once) and of the
// entity index (as this process knows them); the entity record is read from
// the table on every call, so its dates are current, and a code the image does
// not know is sought in the table. The answers, and where ENT is left, are
// those of the walk through the tables, dxccByTable().

#include <QByteArray>
#include <QDate>
#include <QString>

namespace refdata {

// Entity code of a call at a date: three characters (" 89"); "  0" for a
// prefix not valid at the date, and for an empty call (ENT then on its second
// record in code order); "" when no prefix matches (ENT then at end of file).
// An invalid date counts as the empty date (earlier than any other).
QString DXCC(const QString& call, const QDate& date = QDate::currentDate());

// Prefix of a call, derived from the call alone: EA3ABC gives EA3, EA3ABC/6
// gives EA6, KH6/W1AW gives KH6, F/EA3ABC gives F, RAEM gives RAEM.
QString PFX(const QString& call);

// CQ zone of the call's entity today (ENT's CQZ), or two blanks.
QString CQZ(const QString& call);

// DXCC by seeking through the engine, step by step; it leaves Pfx on the last
// record it read. The reference the in-memory image is tested against.
QString dxccByTable(const QString& call, const QDate& date = QDate::currentDate());

// A call as both algorithms see it: Windows-1252, every blank removed, upper case.
QByteArray normaliseCall(const QString& call);

// True for the portable designators that never count as a prefix: QRP, P, MM, M, B.
bool isPortableDesignator(const QByteArray& part);

// Opens the entity and prefix tables as DXCC would and checks that every tag
// of theirs stands for its table. Empty when both can serve; else why one
// cannot, naming it ("La tabla de prefijos (Pfx) no se puede usar: ...").
QString resolutionTablesProblem();

// Forgets the in-memory image; the next DXCC builds it again. Not needed after
// changes made through the engine (they are seen); for tables replaced on disk
// behind the engine's back while they stay open.
void dropResolutionImage();

// How many times the image was built in this process (tests, benchmark).
int resolutionImageBuilds();

} // namespace refdata
