// Settings files: the whole InstrumentSettings record as a TOML text that
// people can read and edit, and that the window, the scenario runner and the
// browser edition all load and save the same way.
//
// The text starts with `format = 1`, then the display settings and the two
// calibration readings, then one table per channel ([channel1], [channel2])
// with the channel's kind and its [channelN.pressure] and
// [channelN.temperature] records, each with its user curve. Keys are the
// record's own field names; enumerations are written by the names the menus
// show ("DUAL", "PRESSURE", "BAR", "VDO", "T1EU70A", "ON"/"OFF"...); numbers
// are in the record's own units (tenths of a bar for a bar channel). A user
// curve is `point_count` and `points = [{ value = V, reading = R }, ...]`,
// at least point_count of them; slots the curve editor left filled beyond
// the count are listed too, so nothing of the record is lost.
//
// Loading is all or nothing: an unknown key, a missing key, a wrong type or a
// value the instrument's menus cannot set rejects the whole file, with
// "FILE:LINE: key 'channel1.pressure.span': what is wrong". A settings file
// is a regular file of at most 1 MB (a full one takes about 3 KB): anything
// else is refused before its text is read, so a device or a huge file cannot
// hold up or exhaust the program.
//
// The parts: settings_writer.cpp writes the text, settings_reader.cpp holds
// the schema, toml_table.h checks toml++'s tables against it,
// ascii_guard.h keeps what toml++ mishandles away from it, and
// settings_file.cpp reads and writes the files. Equality of records and
// putting a loaded record in force are the firmware's (settings.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "firmware/core/settings.h"

constexpr int SETTINGS_FILE_FORMAT = 1;
constexpr std::uintmax_t SETTINGS_FILE_MAX_BYTES = 1024 * 1024;

// The text of a settings file. The same record always gives the same bytes.
std::string settings_to_toml(const InstrumentSettings& s);

// Reads a settings file's text. On success fills `out` completely; on failure
// leaves `out` untouched and says why in `error` ("FILE:LINE: key 'x': ...").
bool settings_from_toml(std::string_view text, const std::string& file_name,
                        InstrumentSettings& out, std::string& error);

// False, with "FILE: N bytes; a settings file has at most 1 MB (1048576
// bytes)" in `error`, for a file or text larger than SETTINGS_FILE_MAX_BYTES.
// The page asks it before reading a file the user chose.
bool settings_file_size_fits(std::uintmax_t size, const std::string& file_name, std::string& error);

// Writes the file through a temporary file renamed over `path`, so a failed
// save never leaves half a file. A record the loader would refuse (the
// all-zero record of a program that was never switched on, for one) is not
// written: the error says why.
bool save_settings_file(const std::string& path, const InstrumentSettings& s, std::string& error);

// Reads and checks a whole file; `out` changes only on success. A path that
// is no regular file is refused unopened ("FILE is a device, not a settings
// file"; a missing file or a folder "FILE: cannot be read").
bool load_settings_file(const std::string& path, InstrumentSettings& out, std::string& error);
