# Writes ${OUTPUT} (LibraryResources.cpp): the library's PNG resources from ${STRIPS_DIR} as byte
# arrays, looked up by id. The file is replaced only when its text changes, so configuring again
# rebuilds nothing.
function(embed_png variable file)
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  set(${variable} "${bytes}" PARENT_SCOPE)
endfunction()

embed_png(horizontal ${STRIPS_DIR}/img_scroll_h.png)
embed_png(vertical ${STRIPS_DIR}/img_scroll_v.png)
file(WRITE ${OUTPUT}.new "// Generated from assets/toolkit by EmbedResources.cmake; do not edit.
#include \"toolkit/core/LibraryResources.h\"

namespace tessel::detail {

namespace {
const unsigned char kScrollHorizontal[] = {${horizontal}};
const unsigned char kScrollVertical[] = {${vertical}};
} // namespace

std::span<const unsigned char> LibraryResource(int id) {
    switch (id) {
    case kResScrollHorizontal:
        return kScrollHorizontal;
    case kResScrollVertical:
        return kScrollVertical;
    default:
        return {};
    }
}

} // namespace tessel::detail
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
