#include "test_bytes.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "services/code_page.h"

namespace keelnode::nettest {

std::string gb(std::string_view utf8) {
  return Utf8ToGb18030(utf8);
}

std::string encodeAs(std::string_view utf8, const char* charset) {
  std::optional<std::string> bytes = ConvertCharset(utf8, "UTF-8", charset);
  EXPECT_TRUE(bytes.has_value()) << charset;
  return bytes.value_or(std::string());
}

std::string gzipped(std::string_view data) {
  z_stream zs{};
  EXPECT_EQ(deflateInit2(&zs, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&zs, data.size()) + 64, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&zs, Z_FINISH), Z_STREAM_END);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

}  // namespace keelnode::nettest
