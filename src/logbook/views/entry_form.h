#pragma once
// The QSO entry form ("Editar contacto"): one non-modal form for the whole run,
// built on first use, hidden when the operator is done and shown again for the
// next QSO. Its controls are bound to the fields of a QsoEntry, which holds
// every rule; the form only shows the QSO and passes on what is typed.

#include <QDialog>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class QTabWidget;

namespace store {
class RecordBuffer;
}

namespace logbook {

class AudioRecorder;
class EntryForm;
class QsoAwardRefs;
class PartialCalls;
class QsoEntry;

// What the form needs from the program around it.
struct EntryFormHost {
    std::function<QVariant(const QString& key, const QVariant& def)> readSetting;   // section "EdtLog"
    std::function<void(const QString& key, const QVariant& value)> writeSetting;
    std::function<void(const QString& text)> showStatus;                             // the main window's status bar
    std::function<void()> qsoSaved;                                                  // refresh the views of the book
    // The QSO shown changed (opened, call typed, fields shown again): the
    // entity panel and the previous-QSO window follow it.
    std::function<void()> qsoShown;
    // The pick lists: the chosen code, or the one given.
    std::function<QString(const QString& entity, const QString& province)> pickProvince;
    std::function<QString(const QString& entity, const QString& province, const QString& sub)> pickSubdivision;
    std::function<QString(const QString& award, const QString& reference)> pickAwardReference;
    // Where recordings come from; the computer's audio input when not given.
    std::function<std::unique_ptr<AudioRecorder>()> makeRecorder;
    // "Send Spot": whether a cluster connection is live, and posting the QSO as a spot.
    std::function<bool()> spotPossible;
    std::function<void(store::RecordBuffer* qso)> sendSpot;
    // The call-book and map buttons ("4001", "4002", "4006", "4007", "4005" and
    // the address page's "3"): what pressing one does. They stay disabled
    // while this is not given.
    std::function<void(EntryForm& form, const QString& button)> service;
    // A new QSO's call was typed and left (once per call, not for a QSO from a
    // spot): the program looks it up in the call book when CFG->QRZFILL asks so.
    std::function<void(EntryForm& form)> callTyped;
    // Each time the form is shown: the program starts the rig's polling here.
    std::function<void(EntryForm& form)> shown;
};

class EntryForm : public QDialog {
    Q_OBJECT
public:
    EntryForm(EntryFormHost host, QWidget* parent = nullptr);
    ~EntryForm() override;

    // Prepares the QSO (new or the alias's current record) and shows the form
    // on page 1 with the cursor in the call field.
    void open(bool isNew, bool fromSpot, const QString& alias);
    QsoEntry* entry() const { return m_entry.get(); }
    QTabWidget* pages() const { return m_pages; }

    // "&OK" and F10: saves, then either prepares the next QSO or hides the form.
    void saveAndClose();
    bool recording() const { return m_recording; }
    // Shows every field of the QSO again.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    struct Controls;
    void build();
    void showPartialCalls(const QString& typed);
    void startRecording();
    void showAwardReferences();
    void editAwardReference();
    void stopRecording();
    void storeSettings();
    EntryFormHost m_host;
    std::unique_ptr<QsoEntry> m_entry;
    std::unique_ptr<Controls> m_c;
    QTabWidget* m_pages = nullptr;
    QString m_alias;
    std::unique_ptr<PartialCalls> m_partial;
    const void* m_partialArea = nullptr;   // the work area the partial calls were read from
    std::unique_ptr<AudioRecorder> m_recorder;
    std::unique_ptr<QsoAwardRefs> m_refs;
    bool m_recording = false;
    QString m_lookedUp;   // the call last handed to callTyped
};

// The form of the run, as the rest of the program reaches it.
void setEntryFormHost(EntryFormHost host, QWidget* parent);
// Opens or refills the form; followOnly does nothing unless it is visible.
void EDTLOG(bool isNew, bool fromSpot, const QString& alias, bool followOnly = false);
bool EDTLOGVIS();
// The QSO the form holds, as the previous-QSO window and the award views read it (null before the first opening).
store::RecordBuffer* EDTLOGDBF();
EntryForm* entryForm();    // null until first opened
void CLSEDTLOG();

} // namespace logbook
