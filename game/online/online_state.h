// online_state.h - what both machines of an online game must hold alike, written out: the match
// record, the selection books, and in battle every board object, troop, seat, spell effect, the
// round and the pause menu. Hashed every so many frames and compared; kept for a desync report.
#pragma once
#include <cstdint>
#include <string>

// The state after `frame` frames, one line per item.
void OnlineStateWrite(uint32_t frame, std::string* out);
// FNV-1a of the written state.
uint32_t OnlineStateHash(const std::string& text);
