#pragma once

// What each benchmark program gives: the keys of the "key value" lines it prints, and
// the names of its Google Benchmark runs and counters. Written once, here:
// bench/report.py reads this file to know which program owes which figure, and stops
// with both names when a figure is missing.
#define BENCH_KEY(name) inline constexpr char name[] = #name

namespace keys {

namespace startup_timer {
BENCH_KEY(mapped_ms);
BENCH_KEY(painted_ms);
}   // namespace startup_timer

namespace startup_offscreen {
BENCH_KEY(painted_ms);
BENCH_KEY(ready_ms);
BENCH_KEY(longest_turn_ms);
BENCH_KEY(list_shown_ms);
BENCH_KEY(show_wait_ms);
BENCH_KEY(lines);
BENCH_KEY(peak_rss_bytes);
BENCH_KEY(rss_bytes);
}   // namespace startup_offscreen

namespace thread_fill {
BENCH_KEY(worker_fill_ms);
BENCH_KEY(gui_thread_handover_ms);
}   // namespace thread_fill

// Each *_ms line: "key WALL cpu CPU".
namespace paste_timer {
BENCH_KEY(lines);
BENCH_KEY(file_bytes);
BENCH_KEY(source);
BENCH_KEY(html_characters);
BENCH_KEY(from_another_program);
BENCH_KEY(copy_ms);
BENCH_KEY(load_ms);
BENCH_KEY(paste_ms);
BENCH_KEY(undo_ms);
BENCH_KEY(redo_ms);
BENCH_KEY(peak_rss_mb);
}   // namespace paste_timer

namespace print_timer {
BENCH_KEY(lines);
BENCH_KEY(print_ms);
BENCH_KEY(pages);
BENCH_KEY(pdf_bytes);
BENCH_KEY(rss_before_bytes);
BENCH_KEY(peak_rss_bytes);
BENCH_KEY(last_line);
}   // namespace print_timer

namespace hostile_load {
BENCH_KEY(file_bytes);
BENCH_KEY(refused_ms);
BENCH_KEY(load_ms);
BENCH_KEY(show_ms);
BENCH_KEY(lines);
BENCH_KEY(select_all_ms);
BENCH_KEY(delete_ms);
BENCH_KEY(lines_after_delete);
BENCH_KEY(undo_ms);
BENCH_KEY(lines_after_undo);
BENCH_KEY(key_ms);
BENCH_KEY(peak_rss_mb);
}   // namespace hostile_load

namespace bench_list {
BENCH_KEY(BM_Add);
BENCH_KEY(BM_DeleteMiddle);
BENCH_KEY(BM_CaretPos);
BENCH_KEY(BM_Text);
BENCH_KEY(BM_SaveToFile);
BENCH_KEY(BM_SaveToMemory);
BENCH_KEY(BM_LoadFromFile);
BENCH_KEY(BM_LoadFromFileRtf);
BENCH_KEY(BM_FirstAfterLoad);
BENCH_KEY(add_ms);
BENCH_KEY(show_ms);
BENCH_KEY(delete_ms);
}   // namespace bench_list

namespace bench_codec {
BENCH_KEY(BM_WriteRtf);
BENCH_KEY(BM_ReadRtf);
BENCH_KEY(BM_ReadPlainText);
BENCH_KEY(BM_ReadPlainTextAscii);
BENCH_KEY(BM_ReadPlainTextCp1250);
}   // namespace bench_codec

namespace bench_formats {
BENCH_KEY(BM_ReadFormats);
BENCH_KEY(BM_WriteFormats);
BENCH_KEY(BM_BoxLoadFormats);
BENCH_KEY(BM_BoxSaveFormats);
}   // namespace bench_formats

}   // namespace keys

#undef BENCH_KEY
