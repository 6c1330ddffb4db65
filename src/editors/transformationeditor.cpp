#include "editors/transformationeditor.h"

#include "widgets/dialogs.h"
#include "widgets/namedcontrols.h"
#include "common/numbertext.h"
#include "document/documentsession.h"
#include "surroundings/programstate.h"
#include "editing/transformationfields.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace Vorlane {

namespace {

const QString numberCaption = QStringLiteral("Transformation no.");

// A caption with mnemonic markers as rich text: the letter after "&"
// underlined, "&&" a plain ampersand.
QString underlinedMnemonic(const QString &caption)
{
    QString html;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const bool marked = caption.at(i) == QLatin1Char('&') && i + 1 < caption.size();
        if (marked)
            ++i;
        const QString letter = QString(caption.at(i)).toHtmlEscaped();
        const bool underlined = marked && caption.at(i) != QLatin1Char('&');
        html += underlined ? QStringLiteral("<u>%1</u>").arg(letter) : letter;
    }
    return html;
}

} // namespace

TransformationEditor::TransformationEditor(DocumentSession &session, ProgramState &state, UserDialogs &dialogs,
                                           QWidget *owner)
    : QDialog(owner)
    , m_session(session)
    , m_state(state)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("Edit Transformation"));
    createControls();
    fillList();
}

QLineEdit *TransformationEditor::addField(const char *name, const QString &toolTip)
{
    auto *field = named(new QLineEdit(this), name);
    field->setToolTip(toolTip);
    return field;
}

QPushButton *TransformationEditor::addButton(const char *name, const QString &caption, const QString &toolTip)
{
    auto *button = named(new QPushButton(caption, this), name);
    button->setToolTip(toolTip);
    // Return in a field must not add, remove or accept behind the user's back.
    button->setAutoDefault(false);
    return button;
}

void TransformationEditor::createControls()
{
    m_name = named(new QComboBox(this), "Lst1");
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_name->setCompleter(nullptr); // completion would put another transformation's name into the field
    // The file holds one Latin-1 byte per letter; anything else would be lost.
    m_name->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[\\x{0}-\\x{ff}]*")), m_name));
    auto *add = addButton("Add", tr("Add"), QStringLiteral("Click to add a transformation with the name "));
    auto *remove = addButton("rem", tr("Remove"), QStringLiteral("Click to remove selected transformation"));
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(m_name, 1);
    nameRow->addWidget(add);
    nameRow->addWidget(remove);
    m_number = named(new QLabel(numberCaption, this), "Label3");

    m_contractionX = addField("Text1", QStringLiteral("contracrion along X-axis"));
    m_contractionY = addField("Text2", QStringLiteral("contracrion along Y-axis"));
    m_rotation = addField("Text3", QStringLiteral("Rotarion(anti-clockwise)"));
    m_translationX = addField("Text5", QStringLiteral("translation along X-axis"));
    m_translationY = addField("Text6", QStringLiteral("translation along Y-axis"));

    auto *accept = addButton("Command1", tr("&Accept Transformation"),
                             QStringLiteral("Accept the changes made to the currently selected transformation"));
    auto *close = addButton("Command2", tr("&Close"));
    auto *help = addButton("hlp", tr("&Help"));
    auto *closeRow = new QHBoxLayout;
    closeRow->addWidget(close);
    closeRow->addWidget(help);

    auto *noteFrame = named(new QGroupBox(this), "Frame1");
    auto *note = namedLabel(this, "Label12", {});
    // The marker underlines its letter, as a label's mnemonic shows; a real
    // mnemonic would take Alt+A from the accept button.
    note->setText(underlinedMnemonic(
        tr("Note : You must click 'Accpt Transformation' button each time you finish making "
           "changes to &a perticular transformation before shifting to the next transformation.")));
    note->setTextFormat(Qt::RichText);
    note->setWordWrap(true);
    (new QVBoxLayout(noteFrame))->addWidget(note);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(namedLabel(this, "Lbl1", tr("Transformation name:")));
    layout->addLayout(nameRow);
    layout->addWidget(m_number);
    layout->addLayout(createValueGrid());
    layout->addWidget(accept);
    layout->addLayout(closeRow);
    layout->addWidget(noteFrame);

    connect(m_name, &QComboBox::editTextChanged, this, &TransformationEditor::cutName);
    connect(m_name, &QComboBox::activated, this, &TransformationEditor::selectTransformation);
    connect(add, &QPushButton::clicked, this, &TransformationEditor::addTransformation);
    connect(remove, &QPushButton::clicked, this, &TransformationEditor::removeTransformation);
    connect(accept, &QPushButton::clicked, this, &TransformationEditor::acceptTransformation);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &TransformationEditor::openHelp);
}

QGridLayout *TransformationEditor::createValueGrid()
{
    auto *grid = new QGridLayout;
    // A caption on the left, the X and Y fields to its right under their own labels.
    const auto addPairRows = [this, grid](int row, const char *labelX, const char *labelY, QLabel *caption,
                                          QLineEdit *fieldX, QLineEdit *fieldY) {
        grid->addWidget(namedLabel(this, labelX, tr("X:")), row, 1);
        grid->addWidget(namedLabel(this, labelY, tr("Y:")), row, 2);
        grid->addWidget(caption, row + 1, 0);
        grid->addWidget(fieldX, row + 1, 1);
        grid->addWidget(fieldY, row + 1, 2);
    };
    addPairRows(0, "Label6", "Label7", namedLabel(this, "Label1", tr("Contraction :")), m_contractionX, m_contractionY);
    grid->addWidget(namedLabel(this, "Label2", QStringLiteral("| value | < 1")), 2, 0);
    grid->addWidget(namedLabel(this, "Label4", tr("Rotation:")), 3, 0);
    grid->addWidget(m_rotation, 3, 1);
    grid->addWidget(namedLabel(this, "Label5", tr("degrees")), 3, 2);
    addPairRows(4, "Label8", "Label9", namedLabel(this, "Label10", tr("Translation:")), m_translationX, m_translationY);
    grid->addWidget(namedLabel(this, "Label11", tr("( in Units)")), 6, 0);
    return grid;
}

void TransformationEditor::fillList()
{
    for (const Transformation &transformation : m_session.document().transformations)
        m_name->addItem(transformation.name);
    m_name->setCurrentIndex(-1);
    m_name->clearEditText();
}

void TransformationEditor::cutName(const QString &text)
{
    if (text.size() > trNameLength)
        m_name->setEditText(text.left(trNameLength));
}

void TransformationEditor::selectTransformation(int index)
{
    m_state.selectedTr = qint16(index + 1);
    m_number->setText(numberCaption + numToField(m_state.selectedTr));
    const FractalDocument &document = m_session.document();
    TransformationFields fields = transformationFields(document.transformations.at(index), document.settings);
    // The entry keeps the name it was listed with until the window opens again.
    fields.name = m_name->itemText(index);
    showFields(fields);
}

void TransformationEditor::addTransformation()
{
    std::optional<QString> added;
    const QString typedName = m_name->currentText();
    m_session.change(tr("Add Transformation"), DocumentPart::Transformations, Modification::Keeps,
                     [&added, &typedName](FractalDocument &document) {
                         added = Vorlane::addTransformation(document, typedName);
                         return added.has_value();
                     });
    if (!added) {
        m_dialogs.warn(this, windowTitle(),
                       tr("A fractal can hold at most %1 transformations.").arg(maxTransformations));
        return;
    }
    // Adding to an empty list would make the new entry current, and the arrow
    // keys would then step from it; Add selects nothing.
    const int current = m_name->currentIndex();
    m_name->addItem(*added);
    m_name->setCurrentIndex(current);
    m_name->clearEditText();
}

void TransformationEditor::removeTransformation()
{
    const int number = m_state.selectedTr;
    if (!m_session.change(tr("Remove Transformation"), DocumentPart::Transformations, Modification::Keeps,
                          [number](FractalDocument &document) { return Vorlane::removeTransformation(document, number); }))
        return;
    // The fields keep showing the removed transformation, its name included.
    const QString shownName = m_name->currentText();
    m_name->removeItem(number - 1);
    m_name->setEditText(shownName);
}

void TransformationEditor::acceptTransformation()
{
    const int number = m_state.selectedTr;
    const TransformationFields fields = typedFields();
    m_session.change(tr("Accept Transformation"), DocumentPart::Transformations, Modification::Sets,
                     [number, &fields](FractalDocument &document) {
                         if (!hasTransformation(document, number))
                             return false;
                         document.transformations[number - 1] = transformationFromFields(fields, document.settings);
                         return true;
                     });
}

void TransformationEditor::openHelp()
{
    m_dialogs.openLink(m_state.appDir + QLatin1String("help") + QDir::separator() + QLatin1String("trans_edit.html"));
}

void TransformationEditor::showFields(const TransformationFields &fields)
{
    m_name->setEditText(fields.name);
    m_contractionX->setText(fields.contractionX);
    m_contractionY->setText(fields.contractionY);
    m_rotation->setText(fields.rotation);
    m_translationX->setText(fields.translationX);
    m_translationY->setText(fields.translationY);
}

TransformationFields TransformationEditor::typedFields() const
{
    return TransformationFields{m_name->currentText(), m_contractionX->text(), m_contractionY->text(),
                                m_rotation->text(),   m_translationX->text(), m_translationY->text()};
}

} // namespace Vorlane
