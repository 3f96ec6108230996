#include "block_change_dialog.h"

#include "core/messages.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"
#include "ui/dialog_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace logbook {

namespace {

// Every control is named after the QSO field it sets; the dialog reads them back by name.
QComboBox* codes(QWidget* parent, const char* field, std::initializer_list<const char*> values,
                 std::initializer_list<const char*> shown)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(field));
    auto s = shown.begin();
    for (const char* v : values)
        box->addItem(QString::fromUtf8(*s++), QString::fromLatin1(v));
    return box;
}

QComboBox* table(QWidget* parent, const char* field, const QString& aliasName, const char* valueField, const char* shownField)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(field));
    ui::fillCodes(box, ui::tableCodes(aliasName, valueField, shownField));
    box->setMaximumWidth(box->fontMetrics().averageCharWidth() * 36);
    return box;
}

QLineEdit* line(QWidget* parent, const char* field, int chars, bool upper = false, const QString& picture = QString())
{
    return ui::lineEdit(parent, QString::fromLatin1(field), picture, upper, chars);
}

QLineEdit* date(QWidget* parent, const char* field) { return ui::dateEdit(parent, QString::fromLatin1(field)); }

const char* const kDateFields[] = {"QSODATE", "QSLRDATE", "QSLSDATE", "LOTWRDATE", "LOTWSDATE"};

} // namespace

BlockChangeDialog::BlockChangeDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CHGBLQ"));
    setWindowTitle(QStringLiteral("Modificación en bloque de los registros filtrados."));
    auto* lay = new QVBoxLayout(this);
    auto* top = new QFormLayout;
    top->addRow(QStringLiteral("Operador"), line(this, "OPERATOR", 14, true));
    top->addRow(QStringLiteral("Locator"), line(this, "QRA", 8, true, QStringLiteral("AA99AA")));
    lay->addLayout(top);
    auto* pages = new QTabWidget(this);
    lay->addWidget(pages, 1);

    auto* p1 = new QWidget;
    auto* f1 = new QFormLayout(p1);
    f1->addRow(QStringLiteral("Fecha QSO:"), date(p1, "QSODATE"));
    f1->addRow(QStringLiteral("Hora:"), line(p1, "TIMEON", 6, false, QStringLiteral("99:99")));
    f1->addRow(QStringLiteral("Freq"), line(p1, "FREQ", 10, false, QStringLiteral("9999.999")));
    f1->addRow(QStringLiteral("Banda:"), table(p1, "BAND", store::alias::kBand, "CODBAN", "BANDA"));
    f1->addRow(QStringLiteral("Modo:"), table(p1, "MODE", store::alias::kModo, "CODMOD", "MODO"));
    f1->addRow(QStringLiteral("Indicativo:"), line(p1, "CALL", 14, true));
    f1->addRow(QStringLiteral("RST tx:"), line(p1, "RSTSENT", 5));
    f1->addRow(QStringLiteral("RSTrx"), line(p1, "RSTRCVD", 5));
    f1->addRow(QStringLiteral("QSL via"), line(p1, "QSLVIA", 14, true));
    f1->addRow(QStringLiteral("Locator"), line(p1, "GRIDSQUARE", 8, true, QStringLiteral("AA99AA")));
    f1->addRow(QStringLiteral("Nombre:"), line(p1, "NAME", 20));
    f1->addRow(QStringLiteral("QTH:"), line(p1, "QTH", 24));
    f1->addRow(QStringLiteral("IOTA"), table(p1, "IOTA", store::alias::kIota, "IOTA", "NOMBRE2"));
    auto* lp = new QCheckBox(QStringLiteral("LP"), p1);
    lp->setObjectName(QStringLiteral("LP"));
    f1->addRow(QString(), lp);
    f1->addRow(QStringLiteral("Entidad"), table(p1, "CODENT", store::alias::kEnt, "CODENT", "NOMBRE"));
    f1->addRow(QStringLiteral("Prov.:"), line(p1, "CODPRV", 6, true, QStringLiteral("!!!!")));
    f1->addRow(QStringLiteral("Sub.Prv:"), line(p1, "CNTY", 12, true));
    f1->addRow(QStringLiteral("Propagación"), table(p1, "PROPMODE", store::alias::kPropa, "CODPRO", "PROPA"));
    f1->addRow(QStringLiteral("Satélite"), line(p1, "SATNAME", 12, true));
    f1->addRow(QStringLiteral("Comentario:"), line(p1, "COMMENT", 30));
    f1->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    pages->addTab(p1, QStringLiteral("&1-Principal"));

    auto* p2 = new QWidget;
    auto* f2 = new QFormLayout(p2);
    auto* noQsl = new QCheckBox(QStringLiteral("No quiere intercambio QSL"), p2);
    noQsl->setObjectName(QStringLiteral("NOQSL"));
    f2->addRow(QString(), noQsl);
    f2->addRow(QStringLiteral("Recibida"), codes(p2, "QSLRCVD", {"", "Y", "N"}, {"", "Si", "No"}));
    f2->addRow(QStringLiteral("Fecha recepción"), date(p2, "QSLRDATE"));
    f2->addRow(QStringLiteral("Enviada"), codes(p2, "QSLSENT", {"", "Y", "N", "Q", "R", "I"}, {"", "Si", "No", "Cola Imp.", "Sol", "Ignorar"}));
    f2->addRow(QStringLiteral("Fecha envío"), date(p2, "QSLSDATE"));
    f2->addRow(QStringLiteral("Modo"), codes(p2, "QSLMODE", {"", "B", "D", "E", "M"}, {"", "Buro", "Directa", "Electrónica", "Manager"}));
    f2->addRow(QStringLiteral("NºEnvios"), line(p2, "NQSLTX", 3, false, QStringLiteral("9")));
    f2->addRow(QStringLiteral("e-Qsl recibida"), codes(p2, "EQSLRCVD", {"", "Y", "N"}, {"", "Si", "No"}));
    f2->addRow(QStringLiteral("e-Qsl enviada"), codes(p2, "EQSLSENT", {"", "Y", "N"}, {"", "Si", "No"}));
    f2->addRow(QStringLiteral("LOTW recibida"), codes(p2, "LOTWRCVD", {"", "Y", "N"}, {"", "Si", "No"}));
    f2->addRow(QStringLiteral("Fecha LOTW recibida"), date(p2, "LOTWRDATE"));
    f2->addRow(QStringLiteral("LOTW enviada"), codes(p2, "LOTWSENT", {"", "Y", "N"}, {"", "Si", "No"}));
    f2->addRow(QStringLiteral("Fecha LOTW enviada"), date(p2, "LOTWSDATE"));
    f2->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    pages->addTab(p2, QStringLiteral("&2-QSL"));

    auto* p3 = new QWidget;
    auto* f3 = new QFormLayout(p3);
    f3->addRow(QStringLiteral("CQZ :"), line(p3, "CQZ", 4, false, QStringLiteral("99")));
    f3->addRow(QStringLiteral("ITUZ :"), line(p3, "ITUZ", 4, false, QStringLiteral("99")));
    f3->addRow(QStringLiteral("Jcc :"), line(p3, "JCC", 12, true));
    f3->addRow(QStringLiteral("Jcg:"), line(p3, "JCG", 12, true));
    f3->addRow(QStringLiteral("Contest :"), line(p3, "CONTESTID", 16, true));
    f3->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    pages->addTab(p3, QStringLiteral("&3-Adicionales"));

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("1"));
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        BlockChange c;
        if (change(&c))
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(buttons);
}

bool BlockChangeDialog::change(BlockChange* out) const
{
    *out = BlockChange{};
    for (const QString& field : blockChangeFields()) {
        QString text;
        if (auto* e = findChild<QLineEdit*>(field)) {
            text = e->text().trimmed();
            if (std::find(std::begin(kDateFields), std::end(kDateFields), field) != std::end(kDateFields) && !text.isEmpty()) {
                const QDate d = ui::dialogDate(text);
                if (!d.isValid()) {
                    ui::messages().alert(QStringLiteral("Fecha no válida"));
                    e->setFocus();
                    return false;
                }
                text = d.toString(QStringLiteral("yyyyMMdd"));
            }
        } else if (auto* box = findChild<QComboBox*>(field)) {
            text = box->currentData().toString();
        } else if (auto* check = findChild<QCheckBox*>(field)) {
            text = check->isChecked() ? QStringLiteral("SI") : QString();   // a block change only sets a logical
        } else {
            continue;
        }
        if (text.trimmed().isEmpty())
            continue;
        QString error;
        if (!setBlockChangeField(out, field, text, &error)) {
            ui::messages().alert(error);
            return false;
        }
    }
    return true;
}

} // namespace logbook
