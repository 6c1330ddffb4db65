#pragma once

#include "document/fractaldocument.h"
#include "render/poster/posterrender.h"

#include <QObject>
#include <QPointer>

#include <atomic>

class QProgressDialog;
class QThread;

namespace Vorlane {

class UserDialogs;

// One poster render of the window at a time, in a thread of its own so the
// window stays responsive, with a progress window that can cancel it. The
// picture is written where the user chose; a failure is reported.
class PosterExport : public QObject
{
    Q_OBJECT

public:
    PosterExport(QWidget *owner, UserDialogs &dialogs);
    // Cancels a run still going and waits for it.
    ~PosterExport() override;

    // Starts rendering a copy of document to path; returns at once.
    void start(const FractalDocument &document, const PosterRequest &request, const QString &path);
    bool isRunning() const { return m_thread != nullptr; }

Q_SIGNALS:
    // The run has ended, written, cancelled or reported.
    void ended();

private:
    void showProgress(int permille);
    void finish();

    QWidget *m_owner;
    UserDialogs &m_dialogs;
    QThread *m_thread = nullptr;
    QPointer<QProgressDialog> m_progress;
    std::atomic<bool> m_cancel{false};
    // Written by the render thread, read after it has finished.
    PosterRunEnd m_end = PosterRunEnd::Finished;
    QString m_error;
    QString m_path;
};

} // namespace Vorlane
