#include "ui.h"

namespace ui {
namespace {

class SilentBackend : public Backend {
public:
    void showMessage(const std::string&) override {}
    Answer messageBox(const std::string&, const std::string&, Buttons, Icon) override { return Answer::Ok; }
    bool ask(Query&) override { return false; }
    bool openUrl(const std::string&) override { return false; }
    std::string clipboardText() override { return {}; }
    void setClipboardText(const std::string&) override {}
};

std::shared_ptr<Backend>& current() {
    static std::shared_ptr<Backend> b = std::make_shared<SilentBackend>();
    return b;
}

unsigned long interactions = 0;

MessageCollector*& activeCollector() {
    static MessageCollector* c = nullptr;
    return c;
}

}  // namespace

MessageCollector::MessageCollector() : outer_(activeCollector()) { activeCollector() = this; }
MessageCollector::~MessageCollector() { activeCollector() = outer_; }

ShownAtOnce::ShownAtOnce() : collector_(activeCollector()) { activeCollector() = nullptr; }
ShownAtOnce::~ShownAtOnce() { activeCollector() = collector_; }

void setBackend(std::shared_ptr<Backend> b) {
    current() = b ? std::move(b) : std::make_shared<SilentBackend>();
}
Backend& backend() { return *current(); }
bool hasBackend() { return dynamic_cast<SilentBackend*>(current().get()) == nullptr; }

void showMessage(const std::string& text) {
    if (MessageCollector* c = activeCollector()) {
        c->messages_.push_back(text);
        return;
    }
    ++interactions;
    backend().showMessage(text);
}
Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) {
    if (MessageCollector* c = activeCollector(); c && buttons == Buttons::Ok) {
        c->messages_.push_back(text);
        return Answer::Ok;
    }
    ++interactions;
    return backend().messageBox(text, caption, buttons, icon);
}
bool ask(Query& query) {
    ++interactions;
    return backend().ask(query);
}
unsigned long userInteractions() { return interactions; }
bool openUrl(const std::string& url) { return backend().openUrl(url); }
std::string clipboardText() { return backend().clipboardText(); }
void setClipboardText(const std::string& text) { backend().setClipboardText(text); }
void setStatus(int panel, const std::string& text) { backend().setStatus(panel, text); }
void setProgress(int value, int maximum) { backend().setProgress(value, maximum); }

void ScriptedBackend::showMessage(const std::string& text) { messages.push_back(text); }

Answer ScriptedBackend::messageBox(const std::string& text, const std::string&, Buttons, Icon) {
    messages.push_back(text);
    if (answers.empty()) return Answer::Ok;
    Answer a = answers.front();
    answers.erase(answers.begin());
    return a;
}

bool ScriptedBackend::ask(Query& query) {
    bool ok = onAsk ? onAsk(query) : true;
    asked.push_back(query);
    return ok;
}

bool ScriptedBackend::openUrl(const std::string& url) {
    openedUrls.push_back(url);
    return openUrlResult;
}

ScopedScriptedBackend::ScopedScriptedBackend()
    : backend_(std::make_shared<ScriptedBackend>()), previous_(current()) {
    setBackend(backend_);
}
ScopedScriptedBackend::~ScopedScriptedBackend() { setBackend(previous_); }

}  // namespace ui
