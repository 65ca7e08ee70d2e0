#include "vcl/Messages.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>

namespace {

TMessageRecorder*& currentRecorder()
{
    static TMessageRecorder* recorder = nullptr;
    return recorder;
}

bool canShowDialog()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

} // namespace

TMessageRecorder::TMessageRecorder()
    : m_previous(currentRecorder())
{
    currentRecorder() = this;
}

TMessageRecorder::~TMessageRecorder()
{
    currentRecorder() = m_previous;
}

void ShowMessage(const QString& text)
{
    if (TMessageRecorder* recorder = currentRecorder()) {
        recorder->m_messages.append(text);
        return;
    }
    if (!canShowDialog()) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        std::fflush(stderr);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text,
                    QMessageBox::Ok);
    box.exec();
}
