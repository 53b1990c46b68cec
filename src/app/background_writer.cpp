#include "app/background_writer.h"

#include <utility>

namespace keelnode {

BackgroundWriter::BackgroundWriter(FileSystem& files, FailureHook onFailure)
    : files_(files), onFailure_(std::move(onFailure)), thread_([this] { run(); }) {}

BackgroundWriter::~BackgroundWriter() {
  stop();
}

void BackgroundWriter::write(std::string path, Bytes bytes) {
  submit(std::move(path), bytes ? std::move(bytes) : std::make_shared<const std::string>());
}

void BackgroundWriter::remove(std::string path) {
  submit(std::move(path), nullptr);
}

void BackgroundWriter::submit(std::string path, Bytes bytes) {
  Bytes replaced;  // let go of outside the lock
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    replaced = std::exchange(waiting_[std::move(path)], std::move(bytes));
  }
  changed_.notify_all();
}

void BackgroundWriter::flush() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return stopping_ || (waiting_.empty() && !working_); });
}

void BackgroundWriter::cancel() {
  decltype(waiting_) dropped;  // freed outside the lock
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    dropped.swap(waiting_);
  }
  changed_.notify_all();
}

void BackgroundWriter::stop() {
  cancel();
  if (thread_.joinable()) thread_.join();
}

void BackgroundWriter::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
    if (stopping_) return;
    auto request = waiting_.extract(waiting_.begin());
    working_ = true;
    lock.unlock();
    const std::string& path = request.key();
    const bool done =
        request.mapped() ? files_.ReplaceFile(path, *request.mapped()) : files_.RemoveFile(path);
    if (!done && onFailure_) onFailure_(path);
    request = {};
    lock.lock();
    working_ = false;
    changed_.notify_all();
  }
}

}  // namespace keelnode
