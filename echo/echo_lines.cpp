#include "echo/echo_lines.h"

#include <charconv>

#include "echo/status_text.h"

namespace quillbin {

namespace {

// Separates the fields of a Reference line, so a ghost can split it even
// where a field is empty or holds blanks.
constexpr char kFieldSeparator = '\x01';

void AppendDecimal(std::string& out, uint32_t value) {
    char digits[10];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

// " Time=%ldms TTL=%ld" of the list lines that name the answering node.
void AppendTimeAndTtl(std::string& out, const EchoReply& reply) {
    out += " Time=";
    AppendDecimal(out, reply.roundTripTime);
    out += "ms TTL=";
    AppendDecimal(out, reply.ttl);
}

std::string ReferenceStart(uint32_t index, std::string_view text) {
    std::string line = "Reference";
    AppendDecimal(line, index);
    line += ": ";
    line += text;
    line += kFieldSeparator;
    return line;
}

// "Reference%d: %s\x01%s\x01%ld\x01%ld\r\n"
std::string FullReference(uint32_t index, std::string_view text, std::string_view address, const EchoReply& reply) {
    std::string line = ReferenceStart(index, text);
    line += address;
    line += kFieldSeparator;
    AppendDecimal(line, reply.roundTripTime);
    line += kFieldSeparator;
    AppendDecimal(line, reply.ttl);
    line += "\r\n";
    return line;
}

// "NG %s Time=%ldms TTL=%ld (ERR : %s)": a node answered, but not with our
// echo (a router's time-exceeded, or our payload came back changed).
EchoLines NodeError(uint32_t index, std::string_view text, std::string_view address, const EchoReply& reply) {
    EchoLines lines;
    lines.listLine = "NG ";
    lines.listLine += address;
    AppendTimeAndTtl(lines.listLine, reply);
    lines.listLine += " (ERR : ";
    lines.listLine += text;
    lines.listLine += ')';
    lines.referenceLine = FullReference(index, text, address, reply);
    return lines;
}

}  // namespace

EchoLines FormatEchoLines(uint32_t index, const ClassifiedReply& classified, const EchoReply& reply,
                          std::string_view address) {
    EchoLines lines;
    switch (classified.outcome) {
    case EchoOutcome::Ok: {
        // "OK %s Time=%ldms TTL=%ld (%d : %s)"; the echoed bytes are the
        // payload itself, which holds no NUL.
        const std::string_view echoed = reply.data.value_or(std::string_view());
        lines.listLine = "OK ";
        lines.listLine += address;
        AppendTimeAndTtl(lines.listLine, reply);
        lines.listLine += " (";
        AppendDecimal(lines.listLine, reply.dataSize);
        lines.listLine += " : ";
        lines.listLine += echoed;
        lines.listLine += ')';
        lines.referenceLine = FullReference(index, "OK", address, reply);
        break;
    }
    case EchoOutcome::DataMismatch:
        lines = NodeError(index, kDataMismatchText, address, reply);
        break;
    case EchoOutcome::TtlExpired:
        lines = NodeError(index, IcmpStatusText(classified.status), address, reply);
        break;
    case EchoOutcome::StatusFailure: {
        // "NG %s" and "Reference%d: %s\x01\x01\x01\r\n": nothing of the
        // record but its status is worth showing.
        const std::string_view text = IcmpStatusText(classified.status);
        lines.listLine = "NG ";
        lines.listLine += text;
        lines.referenceLine = ReferenceStart(index, text);
        lines.referenceLine += kFieldSeparator;
        lines.referenceLine += kFieldSeparator;
        lines.referenceLine += "\r\n";
        break;
    }
    }
    return lines;
}

std::string FinalStatusText(uint32_t okCount, uint32_t ngCount) {
    std::string text;
    if (okCount > 0) {
        text = "OK=";
        AppendDecimal(text, okCount);
        if (ngCount == 0) return text;
        text += ' ';
    }
    text += "NG=";
    AppendDecimal(text, ngCount);
    return text;
}

std::string PingingDiagnostic(std::string_view name, std::string_view address) {
    std::string text = "\nPinging ";
    text += name;
    text += " [";
    text += address;
    text += ']';
    return text;
}

}  // namespace quillbin
