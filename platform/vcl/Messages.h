#pragma once

#include <QString>
#include <QStringList>

// The one way the program tells the user about a failure: a plain modal
// message box with an OK button, titled with the application's name.
// With a TMessageRecorder installed the text is recorded instead. Without a
// GUI application, or on the offscreen platform (nobody can press OK), the
// text goes to stderr so nothing ever waits for a click that cannot come.
void ShowMessage(const QString& text);

// Test hook: while an instance lives, ShowMessage records into it.
// Instances nest; destruction reinstates the previous one.
class TMessageRecorder {
public:
    TMessageRecorder();
    ~TMessageRecorder();
    TMessageRecorder(const TMessageRecorder&) = delete;
    TMessageRecorder& operator=(const TMessageRecorder&) = delete;

    QStringList messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    friend void ShowMessage(const QString& text);
    QStringList m_messages;
    TMessageRecorder* m_previous;
};
