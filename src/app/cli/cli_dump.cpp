// tamarack-cli dump LOG.tmk: every record of a log file as a line of text.
#include <string>

#include "app/cli/cli.h"
#include "log/fileio.h"
#include "log/logfile.h"

namespace {

int runDump(CliArgs& args) {
  if (args.rest.size() != 1) return CliFail("usage: tamarack-cli dump LOG.tmk");
  const std::string& path = args.rest[0];
  std::string bytes, err;
  if (!fileio::readAll(path, bytes, &err)) return CliFail(path + ": " + err);
  const std::size_t n = logfile::wholeRecords(bytes.size());
  std::string out;
  out.reserve(n * 100);
  for (std::size_t i = 0; i < n; ++i) {
    const QsoRecord r = logfile::decodeRecord(bytes.data() + i * logfile::kRecordSize);
    auto text = [&](std::string_view v) {
      out += v;
      out += '\t';
    };
    out += std::to_string(r.QsoNo) + '\t';
    text(r.Band.trimmed());
    text(r.Mode.trimmed());
    out += std::to_string(r.Dupe) + '\t';
    text(ole::formatSeconds(r.QsoTime));
    text(r.CallSign.trimmed());
    text(r.SentRst.trimmed());
    text(r.SentNo.trimmed());
    text(r.RcvdRst.trimmed());
    text(r.RcvdNo.trimmed());
    out += std::to_string(r.Points) + '\t';
    text(r.Mlt.trimmed());
    text(r.Reserved.trimmed());
    text(r.Remarks.trimmed());
    out += std::to_string(r.TestNo) + '\n';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

const bool registered = RegisterCliCommand({"dump", "dump LOG.tmk", runDump});

}  // namespace
