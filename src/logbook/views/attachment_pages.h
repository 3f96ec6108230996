#pragma once
// Pages 4 ("Imágenes adjuntas", DSPATTIMG) and 5 ("Sonidos adjuntos",
// DSPATTSND) of the log window: the attachments of the QSO under the log's
// cursor, with the dialogs that add them ("Vincular Imagen", "Nueva Grabación").

#include "logbook/recordings.h"
#include "ui/file_chooser.h"

#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMediaPlayer;
class QToolButton;

namespace ui {
class GridPanel;
}

namespace logbook {

class LogWindow;

// What the pages need from the program around them.
struct AttachmentPagesHost {
    // The application's display name and version: the file choosers' titles start with it.
    QString appTitle;
    // Where recordings come from; the computer's audio input when not given.
    std::function<std::unique_ptr<AudioRecorder>()> makeRecorder;
    // Opens a file with the desktop's own program (the viewer, "Visor").
    std::function<void(const QString& path)> openFile;
    // The file chooser; ui::chooseFile when not given.
    std::function<QString(QWidget* parent, ui::ChooseMode mode, const QString& title, const QString& proposed,
                          const QString& filter)>
        chooseFile;
    // Plays a WAV file, and stops it; Qt Multimedia when not given.
    std::function<void(const QString& path)> play;
    std::function<void()> stopPlaying;
};

// Makes the log window build its pages 4 and 5 with these.
void registerAttachmentPages(AttachmentPagesHost host);

// The picture with its two ways of being shown: fitted to the panel, or at its own size.
class ImageView : public QScrollArea {
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr);
    void setImage(const QImage& image);        // a null image shows the picture for no image
    const QImage& image() const { return m_image; }
    bool hasImage() const { return !m_image.isNull(); }
    void setFitted(bool on);
    bool fitted() const { return m_fit; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void render();
    QImage m_image;
    QLabel* m_label;
    bool m_fit = true;
};

// "Vincular Imagen" (ATTIMG): a description and a picture from a file or the clipboard.
class ImageAttachDialog : public QDialog {
    Q_OBJECT
public:
    ImageAttachDialog(const AttachmentPagesHost& host, QWidget* parent = nullptr);
    QString description() const;
    QImage image() const;
    void fromFile();
    void fromClipboard();

private:
    const AttachmentPagesHost& m_host;
    QLineEdit* m_description;
    ImageView* m_view;
    QPushButton* m_ok;
};

// "Nueva Grabación" (SNDADD): a description and a recording or a WAV file.
class SoundAttachDialog : public QDialog {
    Q_OBJECT
public:
    SoundAttachDialog(const AttachmentPagesHost& host, QWidget* parent = nullptr);
    ~SoundAttachDialog() override;
    QString description() const;
    // The sound to attach: the chosen file's, else the recording's.
    QByteArray sound() const;
    void chooseFile();
    void startRecording();
    void stopRecording();
    bool recording() const { return m_recording; }

protected:
    void done(int r) override;

private:
    void updateButtons();
    const AttachmentPagesHost& m_host;
    QLineEdit* m_description;
    QLineEdit* m_file;
    QToolButton* m_record;
    QToolButton* m_stop;
    QPushButton* m_ok;
    std::unique_ptr<AudioRecorder> m_recorder;
    bool m_recording = false;
    QByteArray m_recorded;      // the recording kept, as a WAV file
};

// What the pages of pictures and sounds share: the list of the current QSO's
// attachments of the page's type with its first buttons (new, edit, delete)
// and keys, limited when the page is shown, and the adding and deleting that
// keep the tab texts' counts up to date.
class AttachmentPage : public QWidget {
public:
    // Limits Attach to the QSO's attachments of the page's type and shows them.
    void shown();
    ui::GridPanel* panel() const { return m_panel; }
    QAction* action(const QString& id) const;
    virtual void add() = 0;
    virtual void remove() = 0;

protected:
    struct Captions {
        const char* name;        // the page's object name ("DSPATTIMG")
        const char* list;        // the list's ("images")
        const char* newTip;      // "Añadir imagen"
        const char* deleteTip;   // "Borrar imagen"
    };
    AttachmentPage(LogWindow* window, const AttachmentPagesHost& host, const QString& type, const Captions& captions,
                   QWidget* parent);
    // What the page shows of the current attachment besides the list (the picture).
    virtual void showCurrent() {}
    // After an attachment was stored: the counts, the list, the new one current.
    void added();
    // Deletes the current attachment after `question`; the one before it becomes current.
    void removeCurrent(const QString& question);

    LogWindow* m_window;
    AttachmentPagesHost m_host;
    ui::GridPanel* m_panel;
    QString m_key;
    QTemporaryDir m_temp;       // copies for other programs: a folder of this page's own
    QString m_type;             // "G" pictures, "S" sounds
};

// Page 4: the list of the QSO's images and the picture of the one chosen.
class ImagePage : public AttachmentPage {
    Q_OBJECT
public:
    ImagePage(LogWindow* window, const AttachmentPagesHost& host, QWidget* parent = nullptr);
    ImageView* view() const { return m_view; }

    void add() override;
    void remove() override;
    void copy();
    void replaceFromClipboard();
    void replaceFromFile();
    void save();
    void openViewer();
    // The file the viewer was given (kept while the page lives).
    QString viewerFile() const { return m_viewerFile; }

private:
    void showCurrent() override;
    void replaceWith(const QImage& image);
    ImageView* m_view;
    QString m_viewerFile;
};

// Page 5: the list of the QSO's sounds, to play, add and delete.
class SoundPage : public AttachmentPage {
    Q_OBJECT
public:
    SoundPage(LogWindow* window, const AttachmentPagesHost& host, QWidget* parent = nullptr);
    ~SoundPage() override;

    void add() override;
    void remove() override;
    void play();
    void stop();
    QString playedFile() const { return m_playedFile; }

private:
    QString m_playedFile;
    QMediaPlayer* m_player = nullptr;
};

} // namespace logbook
