#pragma once

#include "document/fractaldocument.h"

#include <QFlags>
#include <QList>
#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>

class QAction;

namespace Vorlane {

// The parts of the document a change replaces.
enum class DocumentPart : unsigned {
    Transformations = 0x01, // the list and trNameCounter
    BasePoints = 0x02,
    RenderSettings = 0x04,  // totalPoints and resolution
    Scales = 0x08,          // scaleX and scaleY
    Colours = 0x10,
    ViewCentre = 0x20,
};
Q_DECLARE_FLAGS(DocumentParts, DocumentPart)

} // namespace Vorlane

// Outside the namespace, where they do not hide other operators from it.
Q_DECLARE_OPERATORS_FOR_FLAGS(Vorlane::DocumentParts)

namespace Vorlane {

// Everything a file stores: what Open replaces.
constexpr DocumentParts storedParts = DocumentPart::Transformations | DocumentPart::BasePoints
                                      | DocumentPart::RenderSettings | DocumentPart::Colours
                                      | DocumentPart::ViewCentre;

// Whether a step is an accepted change, which leaves the document modified,
// or one that leaves modified as it was (Add and Remove).
enum class Modification { Sets, Keeps };

// The one way into the document. It owns the document, the path it was read
// from or saved to, and the unsaved-changes flag; every change is a named
// step on its undo stack. It is modified after an accepted change and not
// after start-up, New, Open and a save, and undo and redo give every step back
// the value it had, measured against the last save: undoing exactly to the
// state last opened or saved makes it unmodified again.
class DocumentSession : public QObject
{
    Q_OBJECT

public:
    explicit DocumentSession(QObject *parent = nullptr);
    ~DocumentSession() override;

    const FractalDocument &document() const { return m_document; }
    const QString &currentFile() const { return m_currentFile; }
    bool isModified() const { return m_modified; }

    // Start-up: document as it is, without history, currentFile as given and
    // not modified.
    void begin(const FractalDocument &document, const QString &currentFile = QString());

    // Runs edit on a copy of the document; when edit returns true, the parts
    // of the copy named by parts become the document's as one step called
    // text. Returns what edit returned; on false nothing changes.
    bool change(const QString &text, DocumentParts parts, Modification modification,
                const std::function<bool(FractalDocument &)> &edit);

    // New and Open as steps: undoing them brings back the document before,
    // its currentFile and its modified.
    void newDocument(const QString &untitledName);
    // document holds the values a file stores; the scales stay.
    void openDocument(const FractalDocument &document, const QString &path);

    // Writes the document to path, replacing any file there as a whole. On
    // success currentFile is path, the document is not modified, and this is
    // the state undo and redo measure modified against; a failure leaves
    // everything as it was and, when error is given, says why.
    bool save(const QString &path, QString *error = nullptr);

    // Values the user changes without a step and without making the document
    // modified: the view centre (the arrow buttons) and the scales (the main
    // window's size).
    void setViewCentre(qint16 centreX, qint16 centreY);
    void setScales(float scaleX, float scaleY);

    // The Edit menu's entries, captioned "&Undo" and "&Redo" followed by the
    // name of the step, enabled when there is one.
    QAction *createUndoAction(QObject *parent) const;
    QAction *createRedoAction(QObject *parent) const;
    void undo() { m_stack.undo(); }
    void redo() { m_stack.redo(); }
    bool canUndo() const { return m_stack.canUndo(); }
    bool canRedo() const { return m_stack.canRedo(); }
    bool isClean() const { return m_stack.isClean(); }

Q_SIGNALS:
    // After every change of the document, by a step, its undo or redo, or
    // begin; parts names what changed.
    void changed(Vorlane::DocumentParts parts);
    // When the document turns modified or unmodified.
    void modifiedChanged(bool modified);

private:
    class Step;
    enum class StepKind { Sets, Keeps, Replaces };

    void markSaved(const QString &path);
    void setModified(bool modified);
    void push(const QString &text, const FractalDocument &after, DocumentParts parts, StepKind kind,
              bool modifiedAfter, const QString &fileAfter);
    void apply(const FractalDocument &from, DocumentParts parts);
    void takeStackIndex(int index);
    StepKind kindOf(int command) const;

    FractalDocument m_document;
    QString m_currentFile;
    bool m_modified = false;
    QUndoStack m_stack;
    // modified and currentFile at every index of the stack, 0 to count.
    QList<bool> m_modifiedAt{false};
    QStringList m_fileAt{QString()};
    DocumentParts m_lastApplied;
};

// Copies the named parts of from into to.
void copyParts(FractalDocument &to, const FractalDocument &from, DocumentParts parts);

} // namespace Vorlane
