// The Cabrillo text editor.
#include "cabrillo_editor.h"

#include "store/codepage.h"
#include "ui/messages.h"

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

const QStringList& redWords()
{
    static const QStringList w = {QStringLiteral("QSO"), QStringLiteral("ORLAN")};
    return w;
}

const QStringList& blueWords()
{
    static const QStringList w = {QStringLiteral("CALLSIGN"), QStringLiteral("CATEGORY"),  QStringLiteral("CONTEST"),
                                  QStringLiteral("NAME"),     QStringLiteral("ADDRESS"),   QStringLiteral("SOAPBOX"),
                                  QStringLiteral("CREATED BY"), QStringLiteral("START-OF-LOG"), QStringLiteral("END-OF-LOG")};
    return w;
}

} // namespace

CabrilloHighlighter::CabrilloHighlighter(QTextDocument* doc) : QSyntaxHighlighter(doc) {}

void CabrilloHighlighter::highlightBlock(const QString& text)
{
    auto mark = [&](const QStringList& words, const QColor& colour) {
        QTextCharFormat f;
        f.setForeground(colour);
        for (const QString& w : words) {
            const QRegularExpression re(QStringLiteral("(?<![A-Za-z0-9-])") + QRegularExpression::escape(w) +
                                        QStringLiteral("(?![A-Za-z0-9-])"));
            for (auto it = re.globalMatch(text); it.hasNext();) {
                const auto m = it.next();
                setFormat(int(m.capturedStart()), int(m.capturedLength()), f);
            }
        }
    };
    mark(redWords(), Qt::red);
    mark(blueWords(), Qt::blue);
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
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        m_edit->setPlainText(store::cp1252::toUnicode(f.readAll()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_edit->document()->setModified(false);
    (new CabrilloHighlighter(m_edit->document()))->rehighlight();
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
    showPosition();
    resize(800, 600);
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
