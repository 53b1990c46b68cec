#include "settings/undo_journal.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace keelnode {
namespace {

// Layout: magic, offset, old size, length of old bytes (8-byte little-endian
// numbers), the old bytes, then a CRC-32 of everything before it.
constexpr std::string_view kMagic = "KNUNDO1\n";
constexpr size_t kHeaderSize = 8 + 3 * 8;

void PutNumber(std::string* out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint64_t GetNumber(std::string_view in, size_t at, int bytes) {
  uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) {
    value |= static_cast<uint64_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  }
  return value;
}

uint32_t Checksum(std::string_view bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  // zlib takes lengths as uInt; feed large records in pieces.
  while (!bytes.empty()) {
    size_t piece = std::min<size_t>(bytes.size(), 1u << 30);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(piece));
    bytes.remove_prefix(piece);
  }
  return static_cast<uint32_t>(crc);
}

}  // namespace

std::string EncodeUndoRecord(const UndoRecord& record) {
  std::string out(kMagic);
  PutNumber(&out, record.offset, 8);
  PutNumber(&out, record.old_size, 8);
  PutNumber(&out, record.old_bytes.size(), 8);
  out += record.old_bytes;
  PutNumber(&out, Checksum(out), 4);
  return out;
}

std::optional<UndoRecord> DecodeUndoRecord(std::string_view bytes) {
  if (bytes.size() < kHeaderSize + 4 || bytes.substr(0, kMagic.size()) != kMagic) {
    return std::nullopt;
  }
  UndoRecord record;
  record.offset = GetNumber(bytes, 8, 8);
  record.old_size = GetNumber(bytes, 16, 8);
  uint64_t length = GetNumber(bytes, 24, 8);
  if (length != bytes.size() - kHeaderSize - 4) return std::nullopt;
  std::string_view body = bytes.substr(0, bytes.size() - 4);
  if (Checksum(body) != GetNumber(bytes, bytes.size() - 4, 4)) return std::nullopt;
  record.old_bytes = std::string(bytes.substr(kHeaderSize, length));
  return record;
}

std::optional<std::string> ApplyUndoRecord(std::string_view content, const UndoRecord& record) {
  const uint64_t written_end = record.offset + record.old_bytes.size();
  if (content.size() < record.offset || record.old_size < written_end ||
      record.old_size > std::max<uint64_t>(content.size(), written_end)) {
    return std::nullopt;
  }
  std::string restored(content.substr(0, record.offset));
  restored += record.old_bytes;
  if (content.size() > written_end) restored.append(content.substr(written_end));
  restored.resize(record.old_size);
  return restored;
}

std::string UndoJournalPath(const std::string& settings_path) {
  return settings_path + ".undo";
}

std::string SpareUndoJournalPath(const std::string& folder, const std::string& settings_path) {
  // FNV-1a: stable across builds and runs, unlike std::hash.
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (unsigned char byte : settings_path) {
    hash = (hash ^ byte) * 0x100000001b3ULL;
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  const size_t slash = settings_path.find_last_of('/');
  const std::string name =
      slash == std::string::npos ? settings_path : settings_path.substr(slash + 1);
  return folder + "/" + name + "." + hex + ".undo";
}

std::string DefaultSpareJournalFolder() {
  // The XDG rules ignore a relative XDG_STATE_HOME.
  const char* xdg = std::getenv("XDG_STATE_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/keelnode";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/state/keelnode";
  return {};
}

}  // namespace keelnode
