#include "viewer/notes_text.h"

#include <QString>

#include "viewer/program_text.h"

namespace keelnode {

std::string NotesText() {
  static const char* const kLines[] = {
      "【右键单击读取网址数据时，可以附加Ctrl键表示该数据是UTF-"
      "8，Alt键表示是GBK，否则自动识别编码】",
      "",
      "一、关于本程序",
      "岚溪·JSON 是一个给程序员用的 JSON 查看工具。它用自己编写的 JSON 解析器逐层拆分文本，"
      "能容忍 JSON "
      "前后的多余文字、没有引号的成员名和对象末尾多出的逗号，也能先把单引号格式转换过来。",
      "解析结果以树形显示，每个节点一项：选中任意一项，就能看到它的访问路径（如 data.[0].name "
      "或 data[0].name）、它的值以及解码后的值，并可通过右键菜单复制。树还可以按普通文本、"
      "通配符或正则表达式向前、向后查找，帮助程序员在很大的 JSON 里迅速找到需要的节点。",
      "七个标签页各自保存一份数据，程序关闭时自动保存，下次启动时恢复。",
      "",
      "二、什么是 JSON",
      "JSON（JavaScript Object Notation）是一种轻量的数据交换格式，网页接口大多用它返回数据。",
      "对象用花括号包围，里面是若干“名称:"
      "值”对，以逗号分隔；数组用方括号包围，里面是以逗号分隔的值。",
      "值可以是字符串、数字、true、false、null，也可以又是一个对象或数组，所以对象和数组可以无限嵌"
      "套。",
      "例如：{\"name\":\"岚溪\",\"tags\":[\"json\",\"tree\"],\"owner\":{\"city\":\"杭州\"}}",
      "",
      "三、开发历程",
      "最初只是为调试网页接口写的小工具：把接口返回的数据粘贴进来，一眼看清层次。",
      "后来加入了读取网址数据、自动识别编码和 gzip 解压，省去了另开浏览器复制数据的麻烦。",
      "再后来加入了多标签页、树内查找、路径与数据的复制、先行解码、单引号格式等选项，"
      "并把解析和显示改为整批处理，使几十兆的 JSON 也能很快显示出来。",
      "现在的版本又改进了超大文档的载入与查找速度，载入时窗口也能随时响应。",
  };
  QString text;
  for (const char* line : kLines) {
    if (!text.isEmpty()) text += QStringLiteral("\r\n");
    text += QString::fromUtf8(line);
  }
  return FromQString(text);
}

}  // namespace keelnode
