// velkhost: a stand-in for a filter host, for running .8bf modules under Wine.
// This file reads the command line and dispatches.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/rgb_text.h"
#include "tools/velkhost/menu.h"
#include "tools/velkhost/options.h"
#include "tools/velkhost/run.h"
#include "tools/uidriver/text.h"
#include "tools/velkhost/watchdog.h"

static const char kHelp[] =
    "usage:\n"
    "  velkhost run MODULE --in IN.png [--out OUT.png] [--mask M.png]\n"
    "           [--fore R,G,B] [--back R,G,B] [--filter-case N] [--planes N]\n"
    "           [--repeat] [--runs N] [--abort-after N] [--no-buffers] [--pick R,G,B|cancel]\n"
    "           [--timeout S] [--row-pad N] [--mode rgb|grey] [--ui SCRIPT]\n"
    "           [--frozen-clock TICKS] [--registry-read-only]\n"
    "           [--host photoshop|pspihost|gimp|irfanview|paintdotnet]\n"
    "  velkhost about MODULE [--timeout S]\n"
    "  velkhost pipl MODULE [--mode rgb|grey]\n"
    "  velkhost list FOLDER [--mode rgb|grey]\n"
    "\n"
    "run: checks the PiPL (kind 8BFM, name, the code property of this\n"
    "architecture, mode and enbl enabling the image mode; a refused module is\n"
    "never called), then calls parameters, prepare, start, finish (--repeat:\n"
    "prepare, start, finish) and writes OUT.png from what the module left in\n"
    "outData (outData starts as a copy of the input; after a start that failed\n"
    "or was cancelled the input is written unchanged, as a host discards it).\n"
    "  --runs N: the whole sequence N times (1-9) in the one loaded module, as\n"
    "  when the filter is chosen again; every run filters the same input, a\n"
    "  failed run ends the series and OUT.png holds the last run's output.\n"
    "  RGB images give planes 3 and filterCase 1 (2 with --mask), RGBA images\n"
    "  planes 4 and filterCase 4 (5 with --mask); --planes and --filter-case\n"
    "  override what the record says. --mask: first channel, same size.\n"
    "  --fore/--back: the host colours (default 0,0,0 and 255,255,255).\n"
    "  --pick: the colour picker's answer; cancel or no --pick cancels (-128).\n"
    "  --abort-after N: abortProc answers true once progressProc ran N times.\n"
    "  --no-buffers: advanceState returns 0 and leaves inData/outData/maskData null.\n"
    "  --row-pad N: N padding bytes after every buffer row (checked afterwards).\n"
    "  --host NAME: the record as that host fills it (signature, maxSpace and its\n"
    "  unit, padding support, colour services or none, a descriptor block with\n"
    "  null procedures, parameters and data kept between calls or not, out-plane\n"
    "  fields cleared before each call); photoshop by default.\n"
    "  --frozen-clock TICKS: the module's GetTickCount always answers TICKS.\n"
    "  --registry-read-only: the module's registry writes are refused (access\n"
    "  denied), as for a user who may not write its keys.\n"
    "  --timeout S: the watchdog ends the run after S seconds (default 60).\n"
    "  Message boxes are recorded and answered at once (OK, else Cancel, else\n"
    "  No, else Abort).\n"
    "  --ui SCRIPT: works the module's dialogs from a second thread while the\n"
    "  module runs, one action a line (each waits until the dialog is idle):\n"
    "    dialog samples|back|save|any   act on the newest dialog of that template\n"
    "                                   (the first action waits for samples)\n"
    "    cursor X,Y (the system pointer, where pop-ups centred on it open)\n"
    "    wait | move X,Y | press X,Y | release X,Y | click X,Y | dblclick X,Y\n"
    "    click-in-render X,Y (sent when the dialog next takes a render request,\n"
    "                         so it arrives while that render runs)\n"
    "    rclick X,Y | drag X,Y -> X,Y [-> X,Y ...] [steps N] [shift|control] [settle]\n"
    "    key escape|enter|f1 | check ID | select ID \"TEXT\" | type ID \"TEXT\"\n"
    "    pick R,G,B|cancel (the colour picker's answer from now on)\n"
    "    answer-box ok|cancel|yes|no|retry|abort (the next message box)\n"
    "    expect-box \"TEXT\" | expect-no-box | expect-checked ID 0|1\n"
    "    expect-text ID \"TEXT\" | expect-title \"TEXT\" | expect-closed\n"
    "    capture FILE.png (the dialog's client area as painted)\n"
    "    capture-all FILE.png (the main dialog with its open pop-ups in place)\n"
    "    rects FILE (every control's client rectangle: ID LEFT TOP RIGHT BOTTOM)\n"
    "  Points are client pixels X,Y or @ID[/tl|tr|bl|br|c]:DX,DY from a corner of\n"
    "  control ID, or X,@ID...:DX,DY (y from the control); # starts a comment.\n"
    "  A failed line, or a\n"
    "  dialog left open at the end, cancels the open dialogs and exits with 5.\n"
    "about: calls selector 0 with an AboutRecord whose platformData holds the\n"
    "  hidden host window.\n"
    "pipl: prints the PiPL bytes, its properties and the host's verdict.\n"
    "list: prints the folder's filters as a Filter menu, CATEGORY > NAME, and\n"
    "  notes for skipped files.\n"
    "\n"
    "run and about print one line: VELKHOST {json} with the fields\n"
    "  status (ok|refused|error|timeout|crash), error, command, selectors,\n"
    "  results (23130 = the module wrote no result), result (first non-zero,\n"
    "  null when never called), maxSpace, width, height, channels,\n"
    "  record_planes, filterCase, haveMask, imageMode, advance, requests (in,\n"
    "  in_planes, out, out_planes, mask, *_row_bytes, result), planes (last\n"
    "  request's input planes), rects_cleared, in_written, overrun, progress,\n"
    "  progress_last [done,total], progress_runs (renders seen), progress_cut\n"
    "  (renders that stopped early), gdi_live (drawing objects the module left),\n"
    "  abort, aborted, colour (selector, given,\n"
    "  result, error), boxes (caption|null, text, icon, buttons, answer, owner\n"
    "  host|none|other), windows (class, title), timeout, exception, ui (with\n"
    "  --ui: steps, failed_line, error, captures; else null).\n"
    "\n"
    "exit codes: 0 the module ran (its result is in the summary), 1 an image\n"
    "could not be read or written, 2 bad usage or a refused module, 3 timeout,\n"
    "4 unhandled exception, 5 the UI script failed.\n";

static int Usage(const std::string& error)
{
    std::fprintf(stderr, "velkhost: %s\n(velkhost --help for usage)\n", error.c_str());
    return kExitRefused;
}

static bool ParseInt(const std::string& s, int lo, int hi, int& out)
{
    if (s.empty())
        return false;
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (*end || v < lo || v > hi)
        return false;
    out = int(v);
    return true;
}

// Fills `o` from the arguments after the program name; "" or an error.
static std::string ParseArguments(const std::vector<std::string>& args, HostOptions& o)
{
    if (args.size() < 2)
        return "a command and a module (or folder) are needed";
    o.command = args[0];
    if (o.command != "run" && o.command != "about" && o.command != "pipl" && o.command != "list")
        return "unknown command " + o.command;
    o.modulePath = args[1];
    o.mode = &RgbMode();
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size())
                return false;
            v = args[++i];
            return true;
        };
        std::string v;
        bool ok = true;
        if (a == "--repeat")
            o.repeat = true;
        else if (a == "--no-buffers")
            o.noBuffers = true;
        else if (a == "--registry-read-only")
            o.registryReadOnly = true;
        else if (!value(v))
            return "option " + a + " is unknown or needs a value";
        else if (a == "--in")
            o.inPath = v;
        else if (a == "--out")
            o.outPath = v;
        else if (a == "--mask")
            o.maskPath = v;
        else if (a == "--ui")
            o.uiScript = v;
        else if (a == "--fore")
            ok = ParseRgb(v, o.fore);
        else if (a == "--back")
            ok = ParseRgb(v, o.back);
        else if (a == "--filter-case")
            ok = ParseInt(v, 1, 7, o.filterCase);
        else if (a == "--planes")
            ok = ParseInt(v, 1, 32, o.planes);
        else if (a == "--frozen-clock")
            ok = ParseInt(v, 0, 1 << 30, o.frozenClock);
        else if (a == "--host")
            ok = (o.host = FindHostProfile(v)) != nullptr;
        else if (a == "--runs")
            ok = ParseInt(v, 1, 9, o.runs);
        else if (a == "--abort-after")
            ok = ParseInt(v, 0, 1 << 30, o.abortAfter);
        else if (a == "--timeout")
            ok = ParseInt(v, 1, 24 * 3600, o.timeoutSeconds);
        else if (a == "--row-pad")
            ok = ParseInt(v, 0, 4096, o.rowPad);
        else if (a == "--mode")
            ok = (o.mode = FindHostMode(v)) != nullptr;
        else if (a == "--pick") {
            o.pickGiven = v != "cancel";
            ok = !o.pickGiven || ParseRgb(v, o.pick);
        } else
            return "unknown option " + a;
        if (!ok)
            return "bad value for " + a + ": " + v;
    }
    if (o.command == "run" && o.inPath.empty())
        return "run needs --in";
    return "";
}

int wmain(int argc, wchar_t** argv)
{
    _setmode(_fileno(stdout), _O_BINARY); // "\n" line ends on every system
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(Narrow(argv[i]));
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kHelp, stdout);
        return kExitRan;
    }
    HostOptions options;
    const std::string error = ParseArguments(args, options);
    if (!error.empty())
        return Usage(error);

    if (options.command == "pipl")
        return PrintPipl(options);
    if (options.command == "list")
        return ListFolder(options);
    InstallCrashReport();
    StartWatchdog(options.timeoutSeconds);
    if (options.command == "about")
        RunAbout(options);
    RunFilter(options);
}
