// The state texts of the file list during a conversion: "文件分析(%4.2f)", "页面转换(%4.2f)"
// with the share of the job's pages done, and "已完成转换".
#ifndef MORVANE_UI_JOB_STATE_TEXT_H
#define MORVANE_UI_JOB_STATE_TEXT_H

// The percentage of a job's range that value pages make: value / (last - first + 1) * 100.
// An empty or reversed range counts as one page, so the divisor is never 0.
double JobPercent(int value, int firstPage, int lastPage);

// Fills text (capacity characters) with the state text of stage (0 analyse, 1 convert, 2 done)
// from the line list stateLines ("line0\nline1\nline2\n"). Lines 0 and 1 take the percentage;
// their only conversion may be a floating-point one ("%4.2f"), anything else leaves the text
// empty. Returns the length.
int FormatJobState(const wchar_t* stateLines, int stage, double percent, wchar_t* text, int capacity);

#endif
