#pragma once
// A tolerant reader of HTML pages: the page as a list of tags and text runs,
// whatever its errors (unclosed tags, stray "<", comments, scripts). Enough
// to find a label's text and the value that follows it.

#include <QHash>
#include <QList>
#include <QString>

namespace online {

struct HtmlToken {
    bool isTag = false;
    bool closing = false;           // "</name>"
    QString name;                   // tag name in lower case
    QHash<QString, QString> attributes;   // names in lower case
    QString text;                   // text run, entities decoded, blanks collapsed and trimmed
};

// Tokens of the page; empty text runs, comments, and the content of script
// and style elements are left out.
QList<HtmlToken> readHtml(const QString& page);

// The text run after the first run that equals label (case-insensitive,
// ignoring a trailing ":"), skipping runs that are only punctuation; empty
// when there is none.
QString valueAfterLabel(const QList<HtmlToken>& tokens, const QString& label);

// The body text of a page: text runs, one line per block element.
QString htmlBodyText(const QString& page);

} // namespace online
