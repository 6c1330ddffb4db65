#include "app/posterexport.h"

#include "common/filestore.h"
#include "render/picturefile/bitmapfile.h"
#include "widgets/dialogs.h"

#include <QDir>
#include <QProgressDialog>
#include <QUrl>
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
    endThread();
}

void PosterExport::start(const FractalDocument &document, const PosterRequest &request, const QString &path)
{
    Q_ASSERT(!isRunning());
    m_cancel = false;
    m_path = path;
    m_file = std::make_unique<FileReplacement>(path);
    if (!m_file->open(&m_error)) {
        m_file.reset();
        m_end = PosterRunEnd::Failed;
        reportEnd();
        return;
    }
    m_progress = new QProgressDialog(tr("Rendering the poster..."), tr("Cancel"), 0, 1000, m_owner);
    m_progress->setObjectName(QStringLiteral("posterProgress"));
    m_progress->setWindowTitle(tr("Export Poster"));
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    connect(m_progress, &QProgressDialog::canceled, this, [this] { m_cancel = true; });
    m_progress->show();

    m_thread = QThread::create([this, document, request] {
        RunControl control;
        control.stop = &m_cancel;
        control.onProgress = [this](qint64 done, qint64 total) {
            const int permille = int(done * 1000 / total);
            QMetaObject::invokeMethod(this, [this, permille] { showProgress(permille); }, Qt::QueuedConnection);
        };
        PosterResult result = renderPoster(document, request, control);
        if (result.end == PosterRunEnd::Finished
            && !encodePicture(result.picture, "PNG", m_file->device(), &result.error, &m_cancel)) {
            result.end = m_cancel ? PosterRunEnd::Cancelled : PosterRunEnd::Failed;
            if (!m_file->writeError().isEmpty())
                result.error = m_file->writeError();
        }
        m_end = result.end;
        m_error = result.error;
    });
    connect(m_thread, &QThread::finished, this, &PosterExport::finish);
    m_thread->start();
}

void PosterExport::stop()
{
    if (!m_thread)
        return;
    m_cancel = true;
    endThread();
    Q_EMIT ended();
}

void PosterExport::showProgress(int permille)
{
    if (m_progress)
        m_progress->setValue(permille);
}

void PosterExport::endThread()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    delete m_progress;
    // A cancel pressed after the last pixel was encoded still keeps the
    // old file: the new one takes its place only here.
    if (m_end == PosterRunEnd::Finished && m_cancel)
        m_end = PosterRunEnd::Cancelled;
    if (m_end == PosterRunEnd::Finished && !m_file->commit(&m_error))
        m_end = PosterRunEnd::Failed;
    m_file.reset();
}

void PosterExport::finish()
{
    if (!m_thread)
        return;
    endThread();
    reportEnd();
}

void PosterExport::reportEnd()
{
    if (m_end == PosterRunEnd::Failed)
        m_dialogs.warn(m_owner, tr("Error Saving File"), tr("'%1' could not be written.\n%2").arg(m_path, m_error));
    if (m_end == PosterRunEnd::Finished
        && m_dialogs.askYesNo(m_owner, tr("Export Poster"),
                              tr("The poster is saved as\n%1\n\nOpen it now?").arg(QDir::toNativeSeparators(m_path))))
        m_dialogs.openLink(QUrl::fromLocalFile(m_path).toString());
    Q_EMIT ended();
}

} // namespace Vorlane
