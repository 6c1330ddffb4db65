#include "app/posterexport.h"

#include "render/picturefile/bitmapfile.h"
#include "widgets/dialogs.h"

#include <QProgressDialog>
#include <QThread>

namespace Vorlane {

PosterExport::PosterExport(QWidget *owner, UserDialogs &dialogs)
    : QObject(owner)
    , m_owner(owner)
    , m_dialogs(dialogs)
{
}

PosterExport::~PosterExport()
{
    if (!m_thread)
        return;
    m_cancel = true;
    m_thread->wait();
    delete m_thread;
}

void PosterExport::start(const FractalDocument &document, const PosterRequest &request, const QString &path)
{
    Q_ASSERT(!isRunning());
    m_cancel = false;
    m_path = path;
    m_progress = new QProgressDialog(tr("Rendering the poster..."), tr("Cancel"), 0, 1000, m_owner);
    m_progress->setObjectName(QStringLiteral("posterProgress"));
    m_progress->setWindowTitle(tr("Export Poster"));
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    connect(m_progress, &QProgressDialog::canceled, this, [this] { m_cancel = true; });
    m_progress->show();

    m_thread = QThread::create([this, document, request, path] {
        RunControl control;
        control.stop = &m_cancel;
        control.onProgress = [this](qint64 done, qint64 total) {
            const int permille = int(done * 1000 / total);
            QMetaObject::invokeMethod(this, [this, permille] { showProgress(permille); }, Qt::QueuedConnection);
        };
        PosterResult result = renderPoster(document, request, control);
        if (result.end == PosterRunEnd::Finished && !writePictureFile(result.picture, path, &result.error))
            result.end = PosterRunEnd::Failed;
        m_end = result.end;
        m_error = result.error;
    });
    connect(m_thread, &QThread::finished, this, &PosterExport::finish);
    m_thread->start();
}

void PosterExport::showProgress(int permille)
{
    if (m_progress)
        m_progress->setValue(permille);
}

void PosterExport::finish()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    delete m_progress;
    if (m_end == PosterRunEnd::Failed)
        m_dialogs.warn(m_owner, tr("Error Saving File"), tr("'%1' could not be written.\n%2").arg(m_path, m_error));
    Q_EMIT ended();
}

} // namespace Vorlane
