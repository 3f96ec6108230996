// The Cabrillo text editor.
#include "cabrillo_editor.h"

#include "store/codepage.h"
#include "core/messages.h"

#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QVBoxLayout>

namespace interchange {

namespace {

// A keyword stands alone: no letter, digit or '-' touches it.
QRegularExpression keywords(const char* alternatives)
{
    QRegularExpression re(QStringLiteral("(?<![A-Za-z0-9-])(?:%1)(?![A-Za-z0-9-])").arg(QLatin1String(alternatives)));
    re.optimize();
    return re;
}

const QRegularExpression& redWords()
{
    static const QRegularExpression re = keywords("QSO|ORLAN");
    return re;
}

const QRegularExpression& blueWords()
{
    static const QRegularExpression re =
        keywords("CALLSIGN|CATEGORY|CONTEST|NAME|ADDRESS|SOAPBOX|CREATED BY|START-OF-LOG|END-OF-LOG");
    return re;
}

constexpr int kColoured = 1;   // block state of a line whose keywords are coloured

} // namespace

CabrilloHighlighter::CabrilloHighlighter(QTextDocument* doc) : QSyntaxHighlighter(doc) {}

void CabrilloHighlighter::colourLines(int first, int last)
{
    m_first = first;
    m_last = last;
    // Colouring a line runs on to the next one, which may be done by the time the loop gets there.
    for (QTextBlock b = document()->findBlockByNumber(first); b.isValid() && b.blockNumber() <= last; b = b.next())
        if (b.userState() != kColoured)
            rehighlightBlock(b);
}

void CabrilloHighlighter::highlightBlock(const QString& text)
{
    const int line = currentBlock().blockNumber();
    if (line < m_first || line > m_last) {
        setCurrentBlockState(-1);   // left plain until it is shown
        return;
    }
    auto mark = [&](const QRegularExpression& re, const QColor& colour) {
        QTextCharFormat f;
        f.setForeground(colour);
        for (auto it = re.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            setFormat(int(m.capturedStart()), int(m.capturedLength()), f);
        }
    };
    mark(redWords(), Qt::red);
    mark(blueWords(), Qt::blue);
    setCurrentBlockState(kColoured);
}

CabrilloEditor::CabrilloEditor(const QString& path, QWidget* parent) : QDialog(parent), m_path(path)
{
    setObjectName(QStringLiteral("EDITACABRILLO"));
    setWindowTitle(path);
    auto* lay = new QVBoxLayout(this);
    m_edit = new QPlainTextEdit(this);
    m_edit->setObjectName(QStringLiteral("EDIT"));
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(13);
    m_edit->setFont(font);
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_colours = new CabrilloHighlighter(m_edit->document());
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        m_edit->setPlainText(store::cp1252::toUnicode(f.readAll()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_edit->document()->setModified(false);
    lay->addWidget(m_edit);
    auto* status = new QHBoxLayout;
    m_line = new QPushButton(this);
    m_line->setObjectName(QStringLiteral("FILA"));
    m_line->setFlat(true);
    m_col = new QLabel(this);
    m_col->setObjectName(QStringLiteral("COL"));
    status->addWidget(m_line);
    status->addWidget(m_col);
    status->addStretch();
    lay->addLayout(status);
    connect(m_edit, &QPlainTextEdit::cursorPositionChanged, this, [this] { showPosition(); });
    connect(m_line, &QPushButton::clicked, this, [this] { askLine(); });
    // Lines are coloured as they come into view: on scrolling, editing and resizing.
    connect(m_edit, &QPlainTextEdit::updateRequest, this, [this] { colourShownLines(); });
    m_edit->viewport()->installEventFilter(this);
    showPosition();
    resize(800, 600);
    colourShownLines();
}

void CabrilloEditor::colourShownLines()
{
    if (m_colouring)   // colouring repaints, and a repaint asks for colouring again
        return;
    m_colouring = true;
    const int first = m_edit->cursorForPosition(QPoint(0, 0)).blockNumber();
    const int last = m_edit->cursorForPosition(QPoint(0, m_edit->viewport()->height())).blockNumber();
    const int page = qMax(last - first + 1, 60);   // a page either side is ready before it is scrolled to
    m_colours->colourLines(qMax(0, first - page), last + page);
    m_colouring = false;
}

bool CabrilloEditor::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_edit->viewport() && (e->type() == QEvent::Resize || e->type() == QEvent::Show))
        colourShownLines();
    return QDialog::eventFilter(watched, e);
}

void CabrilloEditor::showPosition()
{
    const QTextCursor c = m_edit->textCursor();
    m_line->setText(QStringLiteral("Fila: ") + QString::number(c.blockNumber() + 1));
    m_col->setText(QStringLiteral("Col: ") + QString::number(c.positionInBlock() + 1));
}

void CabrilloEditor::goToLine(int line)
{
    const QTextBlock b = m_edit->document()->findBlockByNumber(qBound(1, line, m_edit->blockCount()) - 1);
    QTextCursor c(b);
    m_edit->setTextCursor(c);
    m_edit->centerCursor();
}

void CabrilloEditor::askLine()
{
    QString value = QString::number(m_edit->textCursor().blockNumber() + 1);
    if (ui::messages().input(QStringLiteral("Ir a la fila"), windowTitle(), &value)) {
        bool ok = false;
        const int n = value.trimmed().toInt(&ok);
        if (ok)
            goToLine(n);
    }
}

bool CabrilloEditor::save()
{
    // The file keeps the program's form: CR LF between lines, none after the last.
    QString text = m_edit->toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly) || f.write(store::cp1252::fromUnicode(text)) < 0 || !f.commit()) {
        ui::messages().stop(m_path + QStringLiteral("\r\nNo se ha podido grabar el fichero"));
        return false;
    }
    m_edit->document()->setModified(false);
    return true;
}

bool CabrilloEditor::maybeSave()
{
    if (!m_edit->document()->isModified())
        return true;
    if (ui::messages().yesNo(QStringLiteral("Fichero ha cambio\r\ndesea grabarlo"), windowTitle()))
        return save();
    m_edit->document()->setModified(false);
    return true;
}

void CabrilloEditor::closeEvent(QCloseEvent* e)
{
    if (maybeSave())
        e->accept();
    else
        e->ignore();
}

void CabrilloEditor::reject()
{
    if (maybeSave())
        QDialog::reject();
}

CabrilloEditor* EDITACABRILLO(const QString& file, QWidget* parent)
{
    auto* e = new CabrilloEditor(file, parent);
    e->setAttribute(Qt::WA_DeleteOnClose);
    e->show();
    return e;
}

} // namespace interchange
