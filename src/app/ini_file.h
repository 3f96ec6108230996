#pragma once
// The program's settings file: a Windows-style INI file ("[Section]" lines and
// "Key=Value" lines, Windows-1252 text) that any INI reader or editor handles.
//
// Reads go to the file every time (another instance or the user may have
// changed it; the file is parsed again only when its size, time or identity
// changed). Writes replace the file atomically and touch only the line of the
// key written: comments, unknown lines, blank lines and the order of the file
// are kept byte for byte. Section and key names compare case-insensitively and
// keep the spelling they were first written with.

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVariant>

#include <vector>

namespace app {

class IniFile {
public:
    explicit IniFile(const QString& path);

    const QString& path() const { return m_path; }

    // The stored value converted to the type of `def`:
    //   int, qint64, double (and other numbers): the whole part of the text
    //     ("12.7" -> 12, "-3.9" -> -3, text that is not a number -> 0);
    //   bool: true only for ".T." in any case;
    //   QDate: a date in the session date format (a bad text is the null date);
    //   anything else: the text as stored (surrounding blanks removed).
    // A missing key reads as `def`. Whenever the value read equals `def`, `def`
    // is written back, so every key read once is present in the file.
    QVariant Get(const QString& section, const QString& key, const QVariant& def);

    // Writes the value as text: logicals ".T."/".F.", numbers as whole numbers
    // without padding, dates in the session format, text as given (line breaks
    // become blanks). Returns false when the file could not be written.
    bool Set(const QString& section, const QString& key, const QVariant& value);

    int getInt(const QString& section, const QString& key, int def = 0)
    { return Get(section, key, def).toInt(); }
    bool getBool(const QString& section, const QString& key, bool def = false)
    { return Get(section, key, def).toBool(); }
    QString getString(const QString& section, const QString& key, const QString& def = QString())
    { return Get(section, key, def).toString(); }
    QDate getDate(const QString& section, const QString& key, const QDate& def = QDate())
    { return Get(section, key, def).toDate(); }

    // The raw text of a key (blanks trimmed); null when the key is missing.
    QString text(const QString& section, const QString& key);

    // How a value is written to the file.
    static QString toText(const QVariant& value);

private:
    struct Line {
        QByteArray bytes;       // as in the file, with its line end
        enum Kind { Other, Section, Key } kind = Other;
        QByteArray name;        // section or key name, upper case, for comparison
        QByteArray spelling;    // key lines: the name as written
        QByteArray value;       // key lines: the value, trimmed
    };
    struct Stamp {
        bool exists = false;
        qint64 size = -1;
        qint64 mtimeNs = -1;
        quint64 inode = 0;
        bool operator==(const Stamp&) const = default;
    };

    void refresh();
    Stamp stamp() const;
    void parse(const QByteArray& data);
    // Index of the key line, -1 when missing. `sectionEnd` receives the index
    // after which a new key of that section goes (-1 when the section is missing).
    int find(const QByteArray& section, const QByteArray& key, int* sectionEnd = nullptr) const;
    bool save();

    QString m_path;
    std::vector<Line> m_lines;
    Stamp m_stamp;
    bool m_loaded = false;
    bool m_unreadable = false;
};

} // namespace app
