#include "text_table.h"

// Multi-item texts end every item with a line feed. Web addresses use hosts under the
// domains reserved for examples (RFC 2606) until the real service hosts are configured.
#define OSTREL_WEB_HOST L"www.example.com"

namespace {

const stTxtRecord kTexts[] = {
    {1, OSTREL_WEB_HOST},
    {2, L"http://update.example.net/gover.html?sid=%d&src=%d"},
    {3, OSTREL_WEB_HOST L"/helper.aspx?sid=%d"},
    {4, OSTREL_WEB_HOST L"/index.aspx?sid=%d"},
    {6, OSTREL_WEB_HOST L"/index.aspx?sid=%d&src=%d&pos=%d"},
    {7, OSTREL_WEB_HOST L"/index.aspx?sid=%d&src=%d"},
    {8, OSTREL_WEB_HOST L"/kefu.aspx?sid=%d&src=%d"},
    {9, OSTREL_WEB_HOST L"/index.aspx?sid=%d&src=%d"},
    {10, L"support@example.com"},
    {11, L"service@example.org"},
    {12, L"QuenbyTalvern软件"},
    {13, L"QuenbyTalvern软件 - " OSTREL_WEB_HOST},
    {0x10000001, L"文件名\n文件大小\n页数\n转换范围\n转换状态\n"},
    {0x10000002, L"PDF文件 (*.pdf)|*.pdf|所有文件 (*.*)|*.*||"},
    {0x10000003, L"文件分析(%4.2f)\n页面转换(%4.2f)\n已完成转换\n"},
    {0x10000004, L"转换过程中不能执行该操作,如需执行该操作请先停止转换."},
    {0x10000005, L"请先从列表中选定一个PDF文件再执行该操作."},
    {0x10000006, L"列表中没有任何PDF文件, 请先添加一个或多个PDF文件后再执行该操作."},
    {0x10000007, L"转换已完成, 您是否要打开存放转换结果的文件夹?\n转换过程被终止!\n"},
    {0x10000008, L"您确定要终止转换吗?"},
    {0x1000000d, L"Word文件(.docx)\n文本文件(.txt)\n"},
    {0x1000000e, L"检查到有新版本软件,您是否要下载更新?"},
    {0x10000020, L"Word版式:"},
    {0x10000021, L"忠实于原文版式(表格,分栏,对齐)\n经典版式(连续段落)\n"},
    {0x20000001, L"帮助"},
    {0x20000002, L"最小化"},
    {0x20000003, L"关闭"},
    {0x20000004, L"添加一个PDF文件到转换队列"},
    {0x20000005, L"停止转换"},
    {0x20000006, L"清除所有PDF文件"},
    {0x20000007, L"开始转换"},
    {0x20000008, L"删除一个PDF文件"},
    {0x20000009,
     L"转换效果差的,转不了的PDF可交由我们的专业人员帮您转换,同时可提供Pdf解密码,Word解密码,Word转Pdf等服务."},
    {0x2000000b, L"帮助"},
    {0x2000000c, L"系统设置"},
    {0x2000000d, L"关于我们"},
    {0x2000000e, L"退出程序"},
    {0x2000000f, L"更改输出目录"},
    {0x20000010, L"打开输出目录"},
    {0x20000011, L"确定"},
    {0x20000020, L"取消"},
    {0x30000001, L"关于我们"},
    {0x30000020, L"系统设置"},
};

}  // namespace

const stTxtRecord* TextTable()
{
    return kTexts;
}

size_t TextTableRows()
{
    return sizeof(kTexts) / sizeof(kTexts[0]);
}

const stTxtRecord* FindText(int32_t nTxtId)
{
    for (const stTxtRecord& row : kTexts)
        if (row.nTxtId == nTxtId)
            return &row;
    return nullptr;
}
