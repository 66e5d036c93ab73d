// Readable descriptions of value streams, for authoring and inspection.
//
// One value per line; blank lines and everything after '#' (outside quotes)
// are ignored. Words are separated by blanks. Lines:
//
//   signature              the four bytes "TPF0"
//   int N                  the smallest of int8, int16, int32 that holds N
//   int8 N   int16 N   int32 N   int64 N
//   str "text"             8-bit string: short (up to 255 bytes) or long
//   shortstr "text"        8-bit string with a 1-byte length
//   longstr "text"         8-bit string with a 4-byte length
//   wstr "text"            UTF-16 string
//   utf8 "text"            UTF-8 string
//   true   false           booleans (also: bool true, bool false)
//   sym Name   sym "Name"  symbol
//   nil
//   list                   opens a list
//   end                    closes a list, a collection or an item
//   float32 X   date64 X   floating-point values
//   fixed64 X              decimal with up to four places, e.g. 12.5
//   float80 HEX            the ten bytes as 20 hexadecimal digits
//   bytes HEX              a byte run (4-byte length)
//   set "a" "b" ...        set of names
//   collection             opens a collection; its items follow:
//   item [INTKIND N] [start N]
//                          opens an item, with an optional index (int, int8,
//                          int16 or int32) and the byte that starts its
//                          properties when it is not 1
//   prop Name              a property name; the property's value follows
//   high ...               the value of the rest of the line with the top
//                          bit of its tag set
//   tag N                  one bare byte
//   raw HEX                bytes as they are
//
// Numbers are decimal; "tag" also takes 0xNN. Description files are UTF-8.
// In quoted text: \" is a quote, \\ a backslash, \xHH the byte HH (in wstr
// the code unit 00HH), \uHHHH the UTF-16 code unit HHHH (wstr only); any
// other backslash stays as it is, so "\n" in a language text reaches the
// file as the two characters the language table expands. The characters of
// str, shortstr, longstr, sym, set names and prop names are converted to code
// page 1252 (the program's ANSI code page); those of utf8 stay UTF-8.
#pragma once

#include <string>

// Builds the bytes of a value stream from a description. Gives false and a
// message "line N: why" when a line is not understood.
bool BuildValueStream(const std::string& description, std::string& bytes, std::string& error);

// Prints a value stream as a description, one value per line, indented by
// nesting. With offsets, every line starts with the value's offset. Gives
// false when the data is damaged; the last line then says where and why
// ("error at offset N: ...").
bool DescribeValueStream(const std::string& bytes, bool withOffsets, std::string& text);
