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

class CabrilloHighlighter : public QSyntaxHighlighter {
public:
    explicit CabrilloHighlighter(QTextDocument* doc);

protected:
    void highlightBlock(const QString& text) override;
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

private:
    void showPosition();
    void askLine();
    bool maybeSave();

    QString m_path;
    QPlainTextEdit* m_edit = nullptr;
    QPushButton* m_line = nullptr;
    QLabel* m_col = nullptr;
};

// Opens the editor on a file (a window of its own, deleted when closed).
CabrilloEditor* EDITACABRILLO(const QString& file, QWidget* parent = nullptr);

} // namespace interchange
