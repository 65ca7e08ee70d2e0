#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>

class QPushButton;
class QTextBrowser;
class QTextDocument;

// "Help/Corv_Air.html" in the program's folder.
QString DefaultHelpFilePath();

// Opens the program's one help window (non-modal) on the help file, scrolled
// to the topic's anchor. A missing file or an unknown topic is reported with
// ShowMessage; nothing here can bring the program down.
void ShowHelpFile(const QString& helpFilePath, const QString& topic);

// A secondary window's released key: handed with its topic to the hook (the
// main window's ShowHelpTopic) when there is one, else F1 opens the topic.
using THelpKeyHook = std::function<void(const QString& topic, int key)>;
void ForwardHelpKey(const THelpKeyHook& hook, const QString& topic, int key);

// Position of the anchor named `name` in the document, or -1.
int FindHelpAnchor(const QTextDocument* document, const QString& name);

class THelpViewer : public QWidget {
    Q_OBJECT
public:
    static inline const QString Title = QStringLiteral("Corvane-Air Calorift Help");

    explicit THelpViewer(QWidget* parent = nullptr);

    // Shows the window at the topic; false (after the message) when the
    // file or the topic is missing.
    bool ShowTopic(const QString& helpFilePath, const QString& topic);

    // The topic the window was last opened at; empty when none was found.
    QString LastTopic() const { return m_lastTopic; }

    QTextBrowser* Browser = nullptr;
    QPushButton* BtnBack = nullptr;
    QPushButton* BtnForward = nullptr;
    QPushButton* BtnClose = nullptr;

private:
    QString m_lastTopic;
};

// The shared help window, or nullptr before help was first asked for.
THelpViewer* SharedHelpViewer();

// Topic of the last successful ShowHelpFile, empty if none.
QString LastShownHelpTopic();
