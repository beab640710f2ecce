#include "gui/qt_ports.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QSettings>
#include <QString>

#include <cstdio>

namespace vantu {
namespace {

QString ToQ(const std::string& text) {
    return QString::fromStdString(text);
}

QMessageBox::Icon BoxIcon(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Information:
            return QMessageBox::Information;
        case PromptIcon::Warning:
            return QMessageBox::Warning;
        case PromptIcon::Error:
            return QMessageBox::Critical;
        case PromptIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

const char* IconName(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Information:
            return "information";
        case PromptIcon::Warning:
            return "warning";
        case PromptIcon::Error:
            return "error";
        case PromptIcon::Question:
            return "question";
    }
    return "message";
}

}  // namespace

void QtPrompts::ShowBox(PromptIcon icon, const std::string& text, const std::string& caption) {
    if (answering_safely_) {
        console_.Show(icon, text, caption);
        return;
    }
    const QString title = caption.empty() ? QCoreApplication::applicationName() : ToQ(caption);
    QMessageBox box(BoxIcon(icon), title, ToQ(text), QMessageBox::Ok, parent_);
    Run({&box, QMessageBox::Ok, [&] { console_.Show(icon, text, caption); }});
}

bool QtPrompts::AskYesNo(const std::string& text) {
    if (answering_safely_) {
        return console_.AskYesNo(text);
    }
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), ToQ(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    return Run({&box, QMessageBox::No, [&] { console_.AskYesNo(text); }}) == QMessageBox::Yes;
}

int QtPrompts::Run(OpenBox open) {
    QMessageBox& box = *open.box;
    open_.push_back(std::move(open));
    const int answer = box.exec();
    open_.pop_back();
    return answer;
}

void QtPrompts::AnswerSafelyFromNow() {
    answering_safely_ = true;
    for (const OpenBox& open : open_) {
        open.report();
        open.box->done(open.safe);
    }
}

void ConsolePrompts::ShowBox(PromptIcon icon, const std::string& text, const std::string&) {
    std::fprintf(stderr, "vantu: %s: %s [OK]\n", IconName(icon), text.c_str());
}

bool ConsolePrompts::AskYesNo(const std::string& text) {
    std::fprintf(stderr, "vantu: question: %s [No]\n", text.c_str());
    return false;
}

void QtTimers::Start(int id, int milliseconds) {
    auto& timer = timers_[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer.get(), &QTimer::timeout, [this, id] { on_tick_(id); });
    }
    timer->start(milliseconds);
}

void QtTimers::Kill(int id) {
    if (auto it = timers_.find(id); it != timers_.end()) {
        it->second->stop();
    }
}

long long QtTimers::RemainingMs(int id) const {
    const auto it = timers_.find(id);
    return it == timers_.end() ? -1 : it->second->remainingTime();
}

void QtPoster::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
}

std::string QtProfile::Read(const std::string& section, const std::string& key,
                            const std::string& fallback) {
    QSettings settings;
    return settings.value(ToQ(section + "/" + key), ToQ(fallback)).toString().toStdString();
}

void QtProfile::Write(const std::string& section, const std::string& key,
                      const std::string& value) {
    QSettings settings;
    settings.setValue(ToQ(section + "/" + key), ToQ(value));
}

}  // namespace vantu
