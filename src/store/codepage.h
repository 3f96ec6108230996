#pragma once
// Windows-1252 text and the Spanish collation used by every character key.

#include <QByteArray>
#include <QString>

namespace store::cp1252 {

QByteArray fromUnicode(const QString& s);     // characters outside the code page become '?'
QString toUnicode(const QByteArray& bytes);
QString toUnicode(const char* data, int len);

unsigned char upper(unsigned char c);         // Spanish-aware: 'ñ' -> 'Ñ', 'á' -> 'Á'
unsigned char lower(unsigned char c);
QByteArray upper(const QByteArray& s);
QByteArray lower(const QByteArray& s);

// Spanish ordering of Windows-1252 text: letters compare by their base letter
// (accented vowels with their vowel, 'Ç' with 'C'), 'Ñ' sorts right after 'N',
// all other bytes keep their code order. Equal primary weights are broken by the
// raw bytes so that the order is total. Returns <0, 0, >0 like memcmp.
int collate(const char* a, const char* b, int len);
int collate(const QByteArray& a, const QByteArray& b);   // shorter is compared as a prefix, then by length

// The primary comparison alone: texts that differ only in accents compare
// equal. Unlike collate(), it agrees with the key order on any leading part:
// if collate(a, b, n) <= 0 then collatePrimary(a, b, m) <= 0 for every m <= n.
// A search on the leading part of a key must compare with this.
int collatePrimary(const char* a, const char* b, int len);

// Primary weight of one byte (what collate() compares first).
unsigned short weight(unsigned char c);

} // namespace store::cp1252
