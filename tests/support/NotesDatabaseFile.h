#pragma once
// Database files of our runtime for the tests of the Notes layer and the job: the
// document body is given as the JSON members after the format header.

#include <string>

// Writes `{"format":...,"version":1,<members>}` to `path` (UTF-8 JSON).
void WriteNotesDatabase(const std::string& path, const std::string& members);

// Two forms (Order: Name, Date, Total; Note: Subject, Body) and three documents without a
// Form item; the third one's name is Japanese and its subject two lines.
inline constexpr char kOrders[] = R"("title":"Orders","design":[
  {"class":"form","title":"Order","fields":[{"name":"Name","type":"text"},{"name":"Date","type":"text"},{"name":"Total","type":"number"}]},
  {"class":"form","title":"Note","fields":[{"name":"Subject","type":"text"},{"name":"Body","type":"richtext"}]},
  {"class":"view","title":"All"}],
  "documents":[
  {"id":100,"items":[{"name":"Name","type":"text","value":"Alice"},{"name":"Date","type":"text","value":"2024/03/05"},{"name":"Total","type":"number","value":12},{"name":"Subject","type":"text","value":"hello, world"}]},
  {"id":104,"items":[{"name":"Name","type":"text","value":"Bob"},{"name":"Total","type":"number","value":7}]},
  {"id":108,"items":[{"name":"Name","type":"text","value":"\u6c0f\u540d"},{"name":"Subject","type":"text","value":"two\nlines"}]}])";

// The orders with a save conflict's second copy among them: written, and warned of.
inline constexpr char kOrdersWithConflict[] = R"("title":"Orders","design":[
  {"class":"form","title":"Order","fields":[{"name":"Name","type":"text"}]}],
  "documents":[
  {"id":100,"items":[{"name":"Name","type":"text","value":"Alice"}]},
  {"id":104,"items":[{"name":"Name","type":"text","value":"Alice"},{"name":"$Conflict","type":"text","value":""}]}])";

// The orders with files attached, as a client stores them ($FILE items): two of one name,
// names that are no plain file names, one sealed with a key the user lacks and one whose
// signature fails; the third document is sealed as a whole, and the fourth's files cannot be
// written (a fault of NSFNoteExtractFile, ERR_PROTECTED).
inline constexpr char kOrdersWithFiles[] = R"("title":"Orders","design":[
  {"class":"form","title":"Order","fields":[{"name":"Name","type":"text"}]}],
  "documents":[
  {"id":100,"items":[{"name":"Name","type":"text","value":"Alice"},
    {"name":"$FILE","type":"file","fileName":"\u898b\u7a4d\u66f8.pdf","base64":"JVBERi0xLjQKABr/"},
    {"name":"$FILE","type":"file","fileName":"\u898b\u7a4d\u66f8.pdf","base64":"c2Vjb25kIGNvcHk="}]},
  {"id":104,"items":[{"name":"Name","type":"text","value":"Bob"},
    {"name":"$FILE","type":"file","fileName":"..\\..\\x.dll","base64":"TVqQAA=="},
    {"name":"$FILE","type":"file","fileName":"C:\\x","base64":"cm9vdA=="},
    {"name":"$FILE","type":"file","fileName":"CON.txt","base64":"ZGV2aWNl"},
    {"name":"$FILE","type":"file","fileName":"a,b;c.txt","base64":"YSxiO2M="},
    {"name":"$FILE","type":"file","fileName":"sealed.doc","base64":"c2VhbGVk","sealed":true},
    {"name":"$FILE","type":"file","fileName":"signed.xls","base64":"c2lnbmVk","badSignature":true}]},
  {"id":108,"sealed":true,"items":[{"name":"Name","type":"text","value":"\u6c0f\u540d"},
    {"name":"$FILE","type":"file","fileName":"memo.txt","base64":"bWVtbw0KbGluZSAy"}]},
  {"id":112,"faults":{"NSFNoteExtractFile":258},"items":[{"name":"Name","type":"text","value":"Dan"},
    {"name":"$FILE","type":"file","fileName":"fault.bin","base64":"ZmF1bHQ="}]}])";

// The CSV file of the orders with files: each document's files as the cell names them,
// relative to the CSV file's folder. Sealed, badly signed and unwritable files are not listed.
inline constexpr char kOrdersWithFilesCsv[] =
    "Name,\x93Y\x95t\x83t\x83@\x83"
    "C\x83\x8b\r\n"
    "Alice,files\\NT00000064\\\x8c\xa9\x90\xcf\x8f\x91.pdf;files\\NT00000064\\\x8c\xa9\x90\xcf\x8f\x91 (2).pdf\r\n"
    "Bob,files\\NT00000068\\.._.._x.dll;files\\NT00000068\\C__x;files\\NT00000068\\_CON.txt;"
    "files\\NT00000068\\a_b_c.txt\r\n"
    "\x8e\x81\x96\xbc,files\\NT0000006C\\memo.txt\r\n"
    "Dan,\r\n";

// Binds and initialises the Notes library once per test process; false when it cannot.
bool EnsureNotesInitialized();
