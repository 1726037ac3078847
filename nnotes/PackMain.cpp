// qs_nsfpack: writes a database in the indexed form from the JSON form given as lines: the
// first line a database without documents (title, faults, design), then one document
// object per line. scripts/make-database feeds it, so that a database of a million
// documents is never held whole.
//
//   qs_nsfpack INPUT.jsonl OUTPUT.nsf
#include "IndexedFile.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: qs_nsfpack INPUT.jsonl OUTPUT.nsf\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::string head;
    if (!in || !std::getline(in, head)) {
        std::fprintf(stderr, "qs_nsfpack: cannot read %s\n", argv[1]);
        return 1;
    }
    auto next = [&in](std::string* line) {
        while (std::getline(in, *line)) {
            if (line->find_first_not_of(" \t\r") != std::string::npos) return true;
        }
        return false;
    };
    std::string error;
    if (!nnotes::PackDatabase(head, next, argv[2], &error)) {
        std::fprintf(stderr, "qs_nsfpack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
