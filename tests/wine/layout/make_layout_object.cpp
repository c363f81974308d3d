// Writes the user-code object whose Program Info list the window layout check measures in
// vexim: the header blocks a build of the module's tools writes, with the fixup blocks that
// the list names "Unknown Block", and a comment of a usual length.
//   make_layout_object <path>

#include <cstdio>

#include "downloader/user_code_format.h"
#include "vxo_builder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_layout_object <path>\n");
        return 2;
    }
    vxo::Builder object;
    object.Text(kKrtVersionBlock, "2")
        .Text(kApplicationNumberBlock, "1")
        .Text(kCommentBlock, "Conveyor line 3, main program")
        .Text(kRevisionBlock, "1.4")
        .Fixups(kCodeFixupBlock, 0x00001000, {2})
        .Fixups(kDataFixupBlock, 0x00002000, {8})
        .Code(vxo::CountingWords(64));
    object.WriteTo(argv[1]);
    return 0;
}
