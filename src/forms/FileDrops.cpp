#include "forms/FileDrops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace forms {
namespace {

// The first local file among the dragged URLs, or empty.
QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return QString();
}

class FileDropFilter : public QObject {
public:
    FileDropFilter(QWidget& window, std::function<void(const QString&)> open)
        : QObject(&window)
        , open_(std::move(open))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!droppedFile(drag->mimeData()).isEmpty())
                drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = droppedFile(drop->mimeData());
            if (!path.isEmpty()) {
                drop->acceptProposedAction();
                QMetaObject::invokeMethod(
                    this, [this, path] { open_(path); }, Qt::QueuedConnection);
            }
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    std::function<void(const QString&)> open_;
};

} // namespace

void AcceptFileDrops(QWidget& window, std::function<void(const QString& path)> open)
{
    window.setAcceptDrops(true);
    window.installEventFilter(new FileDropFilter(window, std::move(open)));
}

} // namespace forms
