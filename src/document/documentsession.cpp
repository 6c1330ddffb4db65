#include "document/documentsession.h"

#include "document/documentfile.h"

#include <QAction>
#include <QUndoCommand>

namespace Vorlane {

namespace {

constexpr DocumentParts everyPart = storedParts | DocumentPart::Scales;

} // namespace

void copyParts(FractalDocument &to, const FractalDocument &from, DocumentParts parts)
{
    if (parts.testFlag(DocumentPart::Transformations)) {
        to.transformations = from.transformations;
        to.trNameCounter = from.trNameCounter;
    }
    if (parts.testFlag(DocumentPart::BasePoints))
        to.basePoints = from.basePoints;
    if (parts.testFlag(DocumentPart::RenderSettings)) {
        to.settings.totalPoints = from.settings.totalPoints;
        to.settings.resolution = from.settings.resolution;
    }
    if (parts.testFlag(DocumentPart::Scales)) {
        to.settings.scaleX = from.settings.scaleX;
        to.settings.scaleY = from.settings.scaleY;
    }
    if (parts.testFlag(DocumentPart::Colours))
        to.colours = from.colours;
    if (parts.testFlag(DocumentPart::ViewCentre)) {
        to.centreX = from.centreX;
        to.centreY = from.centreY;
    }
}

// One step: the document before and after it, of which only the named parts
// are put back, so that the view centre and the scales, which change without
// a step, are left alone by steps that do not touch them. The copies share
// their lists with the document until one of them changes.
class DocumentSession::Step : public QUndoCommand
{
public:
    Step(DocumentSession &session, const QString &text, FractalDocument after, DocumentParts parts, StepKind kind)
        : QUndoCommand(text)
        , m_session(session)
        , m_before(session.document())
        , m_after(std::move(after))
        , m_parts(parts)
        , m_kind(kind)
    {
    }

    void redo() override { m_session.apply(m_after, m_parts); }
    void undo() override { m_session.apply(m_before, m_parts); }
    StepKind kind() const { return m_kind; }

private:
    DocumentSession &m_session;
    const FractalDocument m_before;
    const FractalDocument m_after;
    const DocumentParts m_parts;
    const StepKind m_kind;
};

DocumentSession::DocumentSession(QObject *parent)
    : QObject(parent)
{
    connect(&m_stack, &QUndoStack::indexChanged, this, &DocumentSession::takeStackIndex);
}

DocumentSession::~DocumentSession()
{
    // The stack clears itself as it goes, after the values it would read.
    disconnect(&m_stack, nullptr, this, nullptr);
}

void DocumentSession::begin(const FractalDocument &document, const QString &currentFile)
{
    m_document = document;
    m_modifiedAt = {false};
    m_fileAt = {currentFile};
    m_lastApplied = {};
    m_stack.clear();
    m_lastApplied = everyPart;
    takeStackIndex(0);
}

bool DocumentSession::change(const QString &text, DocumentParts parts, Modification modification,
                             const std::function<bool(FractalDocument &)> &edit)
{
    FractalDocument after = m_document;
    if (!edit(after))
        return false;
    const bool sets = modification == Modification::Sets;
    push(text, after, parts, sets ? StepKind::Sets : StepKind::Keeps, sets || m_modified, m_currentFile);
    return true;
}

void DocumentSession::newDocument(const QString &untitledName)
{
    FractalDocument after = m_document;
    makeEmptyDocument(after);
    push(tr("New"), after, DocumentPart::Transformations | DocumentPart::BasePoints, StepKind::Replaces, false,
         untitledName);
    m_stack.setClean();
}

void DocumentSession::openDocument(const FractalDocument &document, const QString &path)
{
    FractalDocument after = m_document;
    copyParts(after, document, storedParts);
    push(tr("Open"), after, storedParts, StepKind::Replaces, false, path);
    m_stack.setClean();
}

bool DocumentSession::save(const QString &path, QString *error)
{
    if (!saveDocumentFile(m_document, path, error))
        return false;
    markSaved(path);
    return true;
}

// The values of the steps on either side are measured anew against this
// save, up to the nearest New or Open: a step away from it counts as modified
// when an accepted change lies between, and belongs to the file just written.
void DocumentSession::markSaved(const QString &path)
{
    const int saved = m_stack.index();
    m_modifiedAt[saved] = false;
    m_fileAt[saved] = path;
    for (int k = saved; k < m_stack.count() && kindOf(k) != StepKind::Replaces; ++k) {
        m_modifiedAt[k + 1] = kindOf(k) == StepKind::Sets || m_modifiedAt[k];
        m_fileAt[k + 1] = path;
    }
    for (int k = saved - 1; k >= 0 && kindOf(k) != StepKind::Replaces; --k) {
        m_modifiedAt[k] = kindOf(k) == StepKind::Sets || m_modifiedAt[k + 1];
        m_fileAt[k] = path;
    }
    m_stack.setClean();
    m_currentFile = path;
    setModified(false);
}

void DocumentSession::setViewCentre(qint16 centreX, qint16 centreY)
{
    m_document.centreX = centreX;
    m_document.centreY = centreY;
    Q_EMIT changed(DocumentPart::ViewCentre);
}

void DocumentSession::setScales(float scaleX, float scaleY)
{
    m_document.settings.scaleX = scaleX;
    m_document.settings.scaleY = scaleY;
    Q_EMIT changed(DocumentPart::Scales);
}

QAction *DocumentSession::createUndoAction(QObject *parent) const
{
    return m_stack.createUndoAction(parent, tr("&Undo"));
}

QAction *DocumentSession::createRedoAction(QObject *parent) const
{
    return m_stack.createRedoAction(parent, tr("&Redo"));
}

void DocumentSession::push(const QString &text, const FractalDocument &after, DocumentParts parts, StepKind kind,
                           bool modifiedAfter, const QString &fileAfter)
{
    // Pushing drops the steps that were undone; their values go with them.
    const int index = m_stack.index();
    m_modifiedAt.resize(index + 1);
    m_fileAt.resize(index + 1);
    m_modifiedAt.append(modifiedAfter);
    m_fileAt.append(fileAfter);
    m_stack.push(new Step(*this, text, after, parts, kind));
}

void DocumentSession::apply(const FractalDocument &from, DocumentParts parts)
{
    copyParts(m_document, from, parts);
    m_lastApplied = parts;
}

// The stack announces its new index after a step has been applied; only then
// do modified and currentFile follow, and the change is announced.
void DocumentSession::takeStackIndex(int index)
{
    m_currentFile = m_fileAt.value(index);
    setModified(m_modifiedAt.value(index));
    const DocumentParts applied = m_lastApplied;
    m_lastApplied = {};
    if (applied)
        Q_EMIT changed(applied);
}

void DocumentSession::setModified(bool modified)
{
    if (modified == m_modified)
        return;
    m_modified = modified;
    Q_EMIT modifiedChanged(modified);
}

DocumentSession::StepKind DocumentSession::kindOf(int command) const
{
    return static_cast<const Step *>(m_stack.command(command))->kind();
}

} // namespace Vorlane
