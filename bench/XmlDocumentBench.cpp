// How fast the XML document parses, reads and builds documents of the size of exported files
// and well beyond.
#include "base/Utf.h"
#include "io/XmlDocument.h"
#include "io/XmlEscape.h"

#include <benchmark/benchmark.h>

namespace {

// A profile file with `items` key items, about 250 bytes each.
std::u16string ProfileText(int items) {
    io::XmlDocument document;
    document.SetText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    document.AppendElement(u"profile");
    document.EnterElement();
    document.AppendElement(u"profileinfo");
    document.SetAttribute(u"name", u"Game & \"work\"");
    document.AppendElement(u"keyitems");
    document.EnterElement();
    for (int i = 0; i < items; ++i) {
        document.AppendElement(u"item");
        for (const char16_t* name : {u"fn_layer", u"key_code", u"layout_value", u"layout_desc", u"macro_type",
                                     u"macro_value", u"macro_value2", u"macro_value3"}) {
            document.SetAttribute(name, base::ToUtf16(std::to_string(i)));
        }
        document.SetAttribute(u"macro_desc", u"Ctrl + <B> & \"more\"");
    }
    return document.GetText();
}

// The writing pattern of an export: AppendElement and nine SetAttribute calls per item.
void BM_WriteProfile(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ProfileText(static_cast<int>(state.range(0))));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WriteProfile)->RangeMultiplier(4)->Range(256, 16384)->Complexity();

// SetText on a profile file; 4096 items make about 1 MB.
void BM_ParseProfile(benchmark::State& state) {
    std::u16string text = ProfileText(static_cast<int>(state.range(0)));
    io::XmlDocument document;
    for (auto _ : state) {
        benchmark::DoNotOptimize(document.SetText(text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_ParseProfile)->Arg(176)->Arg(4096);

// The reading pattern of an import: every item, every attribute.
void BM_ReadProfile(benchmark::State& state) {
    std::u16string text = ProfileText(static_cast<int>(state.range(0)));
    io::XmlDocument document;
    for (auto _ : state) {
        document.SetText(text);
        document.FindElement(u"profile");
        document.EnterElement();
        document.FindElement(u"keyitems");
        document.EnterElement();
        while (document.FindElement(u"item")) {
            benchmark::DoNotOptimize(document.GetAttribute(u"macro_desc"));
            benchmark::DoNotOptimize(document.GetAttribute(u"key_code"));
        }
    }
}
BENCHMARK(BM_ReadProfile)->Arg(176)->Arg(4096);

// Unescaping 1 MB of references, the worst of them the case-insensitive names.
void BM_Unescape(benchmark::State& state) {
    std::u16string text;
    while (text.size() < (1u << 20)) {
        text += u"&AMP;&#x1F600;&EURO;&bogus;&";
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(io::Unescape(text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_Unescape);

} // namespace
