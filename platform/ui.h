#pragma once
// The one interface through which readers, writers and tools talk to the user: messages, questions,
// the query dialogs that readers raise, opening documents and the clipboard text. The app backs it with
// Qt; tests back it with scripted answers and a log of what was shown. Nothing here includes Qt.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ui {

// Buttons and answers of message boxes (values as the message-box results the callers test).
enum class Answer { None = 0, Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore };
enum class Icon { None, Information, Warning, Error, Question };

// A reader's or tool's query dialog, named by its dialog class ("TAchsenFrageDia", "TChooseDia", ...).
// `fields` carries the values the dialog starts with and, after a confirmed query, the user's answers.
struct Query {
    std::string dialog;
    std::string caption;
    std::map<std::string, std::string> fields;
    std::vector<std::string> items;  // list contents where the dialog shows a list
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual void showMessage(const std::string& text) = 0;
    virtual Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons,
                              Icon icon) = 0;
    // Runs the query dialog; false when the user cancelled.
    virtual bool ask(Query& query) = 0;
    // Opens a document or URL with the desktop's opener; false when that failed.
    virtual bool openUrl(const std::string& url) = 0;
    virtual std::string clipboardText() = 0;
    virtual void setClipboardText(const std::string& text) = 0;
    // Status line text while long work runs (may be ignored).
    virtual void setStatus(int panel, const std::string& text) { (void)panel; (void)text; }
    // The progress of long work: shown up to `maximum` at `value`; a negative value hides it (may be
    // ignored).
    virtual void setProgress(int value, int maximum) { (void)value; (void)maximum; }
};

// The backend in use; a silent default logs nothing and answers Ok/false.
void setBackend(std::shared_ptr<Backend> backend);
Backend& backend();
// False while the silent default is in use (no one sees a message: the SPC library, which has no
// user interface of its own).
bool hasBackend();

void showMessage(const std::string& text);
Answer messageBox(const std::string& text, const std::string& caption = "Varolux32",
                  Buttons buttons = Buttons::Ok, Icon icon = Icon::None);
bool ask(Query& query);
bool openUrl(const std::string& url);
std::string clipboardText();
void setClipboardText(const std::string& text);
void setProgress(int value, int maximum);
void setStatus(int panel, const std::string& text);
// How many messages, message boxes and query dialogs went to the user so far: a caller that compares
// it before and after some work knows whether that work told or asked the user something itself.
unsigned long userInteractions();

// While one lives, the messages that only tell something (showMessage, and message boxes with no
// button but OK) are kept here instead of shown, so that a command can give them in one summary of its
// own; message boxes that ask, and query dialogs, still reach the user. The Open command gathers each
// reader's messages this way. Collectors nest: the one made last gathers until it goes.
class MessageCollector {
public:
    MessageCollector();
    ~MessageCollector();
    MessageCollector(const MessageCollector&) = delete;
    MessageCollector& operator=(const MessageCollector&) = delete;
    // The texts gathered, in the order they came.
    const std::vector<std::string>& Messages() const { return messages_; }

private:
    friend void showMessage(const std::string& text);
    friend Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons, Icon icon);
    std::vector<std::string> messages_;
    MessageCollector* outer_;
};

// While one lives, messages are shown at once even inside a collector: for what belongs to no file of
// a command but to the program, such as the SPC library's registration.
class ShownAtOnce {
public:
    ShownAtOnce();
    ~ShownAtOnce();
    ShownAtOnce(const ShownAtOnce&) = delete;
    ShownAtOnce& operator=(const ShownAtOnce&) = delete;

private:
    MessageCollector* collector_;
};

// A backend for tests: queued answers, a log of everything shown.
class ScriptedBackend : public Backend {
public:
    std::vector<std::string> messages;           // every showMessage / messageBox text, in order
    std::vector<Answer> answers;                 // consumed front first by messageBox; default Ok
    std::vector<Query> asked;                    // every query, as it arrived
    std::function<bool(Query&)> onAsk;           // fills answers; absent: accept unchanged
    std::vector<std::string> openedUrls;
    bool openUrlResult = true;
    std::string clipboard;
    std::map<int, std::string> status;
    std::vector<std::pair<int, int>> progress;  // every setProgress (value, maximum), in order

    void showMessage(const std::string& text) override;
    Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons,
                      Icon icon) override;
    bool ask(Query& query) override;
    bool openUrl(const std::string& url) override;
    std::string clipboardText() override { return clipboard; }
    void setClipboardText(const std::string& text) override { clipboard = text; }
    void setStatus(int panel, const std::string& text) override { status[panel] = text; }
    void setProgress(int value, int maximum) override { progress.emplace_back(value, maximum); }
};

// Installs a fresh ScriptedBackend for the lifetime of this object (tests).
class ScopedScriptedBackend {
public:
    ScopedScriptedBackend();
    ~ScopedScriptedBackend();
    ScriptedBackend* operator->() { return backend_.get(); }
    ScriptedBackend& get() { return *backend_; }

private:
    std::shared_ptr<ScriptedBackend> backend_;
    std::shared_ptr<Backend> previous_;
};

}  // namespace ui
