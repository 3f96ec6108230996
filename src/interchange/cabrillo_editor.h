#pragma once
// The text editor of exported Cabrillo files: Courier New, the Cabrillo
// keywords coloured, "Fila"/"Col" of the cursor in the status line (a click on
// the line goes to a line), and the question to save a changed text on close.

#include <QDialog>
#include <QSyntaxHighlighter>

class QPlainTextEdit;
class QPushButton;
class QLabel;

namespace interchange {

// Colours the keywords of the lines it is told are on screen. A contest log has
// a hundred thousand lines; colouring them all when the file opens would keep
// the window frozen for seconds, so the other lines wait until they are shown.
class CabrilloHighlighter : public QSyntaxHighlighter {
public:
    explicit CabrilloHighlighter(QTextDocument* doc);

    // Colours the lines first..last (from 0) not coloured yet; lines edited
    // later are coloured again while they stay in that range.
    void colourLines(int first, int last);

protected:
    void highlightBlock(const QString& text) override;

private:
    int m_first = 0;
    int m_last = -1;
};

class CabrilloEditor : public QDialog {
public:
    explicit CabrilloEditor(const QString& path, QWidget* parent = nullptr);

    QPlainTextEdit* editor() const { return m_edit; }
    bool save();
    void goToLine(int line);

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void showPosition();
    void askLine();
    bool maybeSave();
    void colourShownLines();

    QString m_path;
    QPlainTextEdit* m_edit = nullptr;
    CabrilloHighlighter* m_colours = nullptr;
    QPushButton* m_line = nullptr;
    QLabel* m_col = nullptr;
    bool m_colouring = false;
};

// Opens the editor on a file (a window of its own, deleted when closed).
CabrilloEditor* EDITACABRILLO(const QString& file, QWidget* parent = nullptr);

} // namespace interchange
