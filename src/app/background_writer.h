// Writes files on a thread of its own, so that whoever asks never waits
// for the disk.
//
// For each path only the latest request waits: a newer one replaces one
// that has not started. Requests for one path are carried out in the order
// given. The bytes are handed over without a copy, as a buffer that nobody
// changes; nothing else is shared with the thread.
#pragma once

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "settings/file_system.h"

namespace keelnode {

class BackgroundWriter {
 public:
  // Told the path of a write or removal that failed, on the writer's thread.
  using FailureHook = std::function<void(const std::string& path)>;
  using Bytes = std::shared_ptr<const std::string>;

  // `files` must outlive the writer and be safe to use from its thread.
  BackgroundWriter(FileSystem& files, FailureHook onFailure = {});
  ~BackgroundWriter();  // as stop()
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;

  // Replaces the file with `bytes` (FileSystem::ReplaceFile).
  void write(std::string path, Bytes bytes);
  void remove(std::string path);
  // Waits until everything asked for so far is done.
  void flush();
  // Drops what has not started; later requests are ignored. Returns at once.
  void cancel();
  // Cancels, waits for what has started, and ends the thread.
  void stop();

 private:
  void run();
  void submit(std::string path, Bytes bytes);

  FileSystem& files_;
  FailureHook onFailure_;
  std::mutex mutex_;
  std::condition_variable changed_;
  // What waits, by path: the bytes to write, or none to remove the file.
  std::map<std::string, Bytes> waiting_;
  bool working_ = false;
  bool stopping_ = false;
  std::thread thread_;  // last: starts once everything above exists
};

}  // namespace keelnode
