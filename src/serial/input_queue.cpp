#include "serial/input_queue.h"

#include <algorithm>

namespace vantu {

void InputQueue::Push(const char* data, std::size_t length) {
    {
        std::lock_guard lock(mutex_);
        bytes_.insert(bytes_.end(), data, data + length);
        if (std::find(data, data + length, kPromptChar) != data + length) {
            reply_event_ = true;
        }
    }
    changed_.notify_all();
}

std::string InputQueue::TakeAll() {
    std::lock_guard lock(mutex_);
    std::string batch(bytes_.begin(), bytes_.end());
    bytes_.clear();
    return batch;
}

bool InputQueue::TakeOne(char& byte) {
    std::lock_guard lock(mutex_);
    if (bytes_.empty()) {
        return false;
    }
    byte = bytes_.front();
    bytes_.pop_front();
    return true;
}

std::size_t InputQueue::Size() const {
    std::lock_guard lock(mutex_);
    return bytes_.size();
}

void InputQueue::Clear() {
    std::lock_guard lock(mutex_);
    bytes_.clear();
}

bool InputQueue::WaitForData(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] {
        return !bytes_.empty() || cancelled_ || hung_up_;
    }) && !bytes_.empty();
}

bool InputQueue::WaitReplyEvent(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] {
        return reply_event_ || cancelled_ || hung_up_;
    }) && reply_event_;
}

void InputQueue::ResetReplyEvent() {
    std::lock_guard lock(mutex_);
    reply_event_ = false;
}

void InputQueue::Cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    changed_.notify_all();
}

bool InputQueue::cancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

void InputQueue::HangUp() {
    {
        std::lock_guard lock(mutex_);
        hung_up_ = true;
    }
    changed_.notify_all();
}

bool InputQueue::hung_up() const {
    std::lock_guard lock(mutex_);
    return hung_up_;
}

void InputQueue::Reset() {
    std::lock_guard lock(mutex_);
    bytes_.clear();
    reply_event_ = false;
    cancelled_ = false;
    hung_up_ = false;
}

}  // namespace vantu
