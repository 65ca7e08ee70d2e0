#include "HelpViewer.h"

#include "vcl/Messages.h"
#include "vcl/Screen.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace {

THelpViewer* g_viewer = nullptr;

void DeleteSharedViewer()
{
    // Runs while the application object still exists, so the widget can go.
    delete g_viewer;
    g_viewer = nullptr;
}

} // namespace

QString DefaultHelpFilePath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Help/Corv_Air.html"));
}

int FindHelpAnchor(const QTextDocument* document, const QString& name)
{
    if (!document || name.isEmpty())
        return -1;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && fragment.charFormat().anchorNames().contains(name))
                return fragment.position();
        }
    }
    return -1;
}

THelpViewer::THelpViewer(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(Title);

    Browser = new QTextBrowser(this);
    Browser->setObjectName(QStringLiteral("Browser"));
    Browser->setOpenExternalLinks(true);

    BtnBack = new QPushButton(QStringLiteral("&Back"), this);
    BtnForward = new QPushButton(QStringLiteral("&Forward"), this);
    BtnClose = new QPushButton(QStringLiteral("&Close"), this);
    BtnClose->setShortcut(QKeySequence(Qt::Key_Escape));
    BtnBack->setEnabled(false);
    BtnForward->setEnabled(false);
    for (QPushButton* b : {BtnBack, BtnForward, BtnClose})
        b->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnBack);
    buttons->addWidget(BtnForward);
    buttons->addStretch(1);
    buttons->addWidget(BtnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(Browser, 1);

    connect(BtnBack, &QPushButton::clicked, Browser, &QTextBrowser::backward);
    connect(BtnForward, &QPushButton::clicked, Browser, &QTextBrowser::forward);
    connect(BtnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(Browser, &QTextBrowser::backwardAvailable, BtnBack, &QWidget::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, BtnForward, &QWidget::setEnabled);

    // A comfortable reading size that still fits small screens.
    const int w = std::min(680, TScreen::Width() - 40);
    const int h = std::min(620, TScreen::Height() - 80);
    resize(std::max(320, w), std::max(240, h));
    move(std::max(0, (TScreen::Width() - width()) / 2), std::max(0, (TScreen::Height() - height()) / 2));
}

bool THelpViewer::ShowTopic(const QString& helpFilePath, const QString& topic)
{
    const QFileInfo info(helpFilePath);
    if (!info.isFile() || !info.isReadable()) {
        ShowMessage(QStringLiteral("Help file not found: ") + helpFilePath);
        return false;
    }

    // Shown first, so the page is laid out at its real width before scrolling.
    show();
    raise();
    activateWindow();

    const QUrl fileUrl = QUrl::fromLocalFile(info.absoluteFilePath());
    if (Browser->source().adjusted(QUrl::RemoveFragment) != fileUrl)
        Browser->setSource(fileUrl);

    if (FindHelpAnchor(Browser->document(), topic) < 0) {
        m_lastTopic.clear();
        ShowMessage(QStringLiteral("Help topic not found: ") + topic);
        return false;
    }

    QUrl target = fileUrl;
    target.setFragment(topic);
    Browser->setSource(target);
    // Also when the same topic is asked for again after the user scrolled.
    Browser->scrollToAnchor(topic);
    m_lastTopic = topic;
    return true;
}

THelpViewer* SharedHelpViewer()
{
    return g_viewer;
}

QString LastShownHelpTopic()
{
    return g_viewer ? g_viewer->LastTopic() : QString();
}

void ShowHelpFile(const QString& helpFilePath, const QString& topic)
{
    if (!QFileInfo(helpFilePath).isFile()) {
        // No window for a help file that is not there.
        ShowMessage(QStringLiteral("Help file not found: ") + helpFilePath);
        return;
    }
    if (!g_viewer) {
        g_viewer = new THelpViewer;
        qAddPostRoutine(DeleteSharedViewer);
    }
    g_viewer->ShowTopic(helpFilePath, topic);
}

void ForwardHelpKey(const THelpKeyHook& hook, const QString& topic, int key)
{
    if (hook)
        hook(topic, key);
    else if (key == Qt::Key_F1)
        ShowHelpFile(DefaultHelpFilePath(), topic);
}
