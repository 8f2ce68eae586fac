// The test container: places controls in sites, the way a form designer or a script host does,
// and drives them through their dispatch interfaces from a script of commands.
//
// Commands (one a line in a script file, or one a command-line argument; '#' starts a comment):
//   register <library>              loads the library and runs its DllRegisterServer
//   unregister <library>            the same with DllUnregisterServer
//   create <ProgID|{CLSID}> [<name>]  a new control (InitNew), named <name> (default Control1),
//                                   which becomes the current control
//   use <name>                      makes another control current
//   close [<name>]                  releases a control
//   mode design|run                 the ambient user mode of the current control's site
//   set <member> <value>            a property put (by name, or #<dispid>)
//   setref <member> <value>         a property put by reference (objects)
//   get <member>                    prints "<member> = <value>"
//   call <member> [<value> ...]     a method call; prints "<member> returned <value>" when it
//                                   returns one
//   save <file> [all|changed]       writes the current control's properties (all of them, or only
//                                   those that differ from their defaults)
//   load <file> [<name>]            a new control of the class the file names, loaded from it
//                                   (without InitNew first, as a form loads its controls)
//   show <file>                     prints a file (as saved)
//   free                            unloads the libraries nobody uses any more
//   form <width> <height> [<colour>]  shows the form (needs --gui): a window of that client size
//                                   in pixels and back colour (an OLE colour, default &H8000000F)
//   place <x> <y> <width> <height>  puts the current control on the form in place at that
//                                   rectangle (pixels): it becomes in-place active, its window
//                                   shows there; again, it moves
//   backdrop <x> <y> <width> <height> [<colour1> <colour2>|picture:<file>]
//                                   puts a backdrop host (hosts/backdrop/BackdropHost.h) on the
//                                   form at that rectangle (pixels), with a gradient from colour1
//                                   at the top to colour2 at the bottom (OLE colours) or a picture;
//                                   a shape control placed over it afterwards finds it and sits on
//                                   it, placed in the host's coordinates; prints "backdrop <n>
//                                   clients" at each wait
//   wait                            lets the form and its controls handle what is waiting
//                                   (paints, posted messages), then prints "painted <name> <n>"
//                                   for each control whose window painted n times since the last
//                                   wait
//   picture <file> [<name>]         writes what the form shows (or the named control's part of
//                                   it) to a PNG file; prints "wrote <file> (form at <x> <y>)",
//                                   the form's client area on the screen
//   notices on|off                  prints "notice <name> <dispid>" for each property change a
//                                   control reports to its container
//   sleep <ms>                      lets the form live that long (for looking at it)
//   echo <text>                     prints the text
//   print <file>|printer:[<name>]   prints the current control (needs --gui): sets its PrinterhDC
//                                   to a printer's context, the PDF printer writing <file> or
//                                   the CUPS printer <name> (none: the default printer), then
//                                   ends the document and prints "printed <file or name>"
//   frame open [<page>]             opens the property frame of the current control (needs
//                                   --gui) and prints its pages; shows page <page> (a number,
//                                   1 first, or a title) or the first
//   frame page <page>               shows another page of the frame
//   frame edit <member>             shows the page that edits the property, its field focused
//   frame fields                    prints the shown page's fields: "<id> text \"...\"",
//                                   "<id> list <index> \"<entry>\" of <count>", "<id> check 0|1",
//                                   "<id> button \"<text>\""
//   frame set <id> <value>          works a field of the shown page as the user does: a list's
//                                   entry by index, a check box's state (0 or 1), an edit box's
//                                   "text", a button's click
//   frame answer open <file>|cancel answers the next open-file dialog of the pages
//   frame apply                     applies the pages' changes (the pages report refused values)
//   frame ok | frame cancel         the frame's buttons; OK applies and closes it
//   frame grab <file>               writes a picture of the frame (PNG)
//   frame wait                      leaves the frame to the user until it is closed
//   frame close                     closes it without applying
// Values: 12, -3 (16-bit when they fit, else 32-bit), &HFF / &H80000018 (hexadecimal, four digits
// or fewer 16-bit), 10.5, True, False, "text" (with \" \\ \n \t escapes), empty, missing,
// nothing, picture:<file> (a bitmap from an image file), icon:<file>, metafile:<file>,
// emf:<file>, nopicture, bytes:<hex digits> (an array of bytes), byref:<value> (the value passed
// by reference).
//
// Each event a control fires prints "event <name>.<event>" and its arguments, at once (also while
// the form lives through "sleep").
//
// A failing command prints "error <number>: <message>" for an automation error of the control, or
// "failed: <reason>" otherwise; the script goes on, and the program's exit status is 1 when any
// command failed (2 for a bad command line).
//
// The saved file is the control's text property bag (platform/ole/propbag.h) between a line
// "Begin <ProgID or {CLSID}> <name>" and a line "End".
#pragma once

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "hosts/backdrop/BackdropHost.h"
#include "hosts/testcontainer/form.h"
#include "hosts/testcontainer/frame.h"
#include "platform/com/dispatch.h"
#include "platform/ole/site.h"

namespace testcontainer {

class Container {
public:
    explicit Container(std::ostream& out)
        : out_(out), frame_(out), objects_(platform::ole::ObjectContainer::Create()) {}
    ~Container();

    // Runs one command; false when it failed.
    bool Run(const std::string& line);

private:
    struct Control {
        std::string name;
        std::string className;  // as given to create, or as the file names it
        std::unique_ptr<platform::ole::HostedControl> host;
        int paintsSeen = 0;  // the window's paints at the last wait
    };

    bool Register(const std::vector<std::string>& args, const char* entry);
    bool Create(const std::vector<std::string>& args, bool initNew = true);
    bool MakeForm(const std::vector<std::string>& args);
    bool Place(const std::vector<std::string>& args);
    bool MakeBackdrop(const std::vector<std::string>& args);
    bool Wait();
    bool WritePicture(const std::vector<std::string>& args);
    bool Set(const std::vector<std::string>& args, bool byReference);
    bool Get(const std::vector<std::string>& args);
    bool CallMethod(const std::vector<std::string>& args);
    bool Save(const std::vector<std::string>& args);
    bool Load(const std::vector<std::string>& args);
    bool Print(const std::vector<std::string>& args);
    Control* Current();
    bool Fail(const std::string& why);
    bool Report(const std::string& member, const platform::com::InvokeResult& r);
    DISPID Member(Control& c, const std::string& text);

    std::ostream& out_;
    FrameCommands frame_;
    std::vector<std::unique_ptr<Control>> controls_;
    Control* current_ = nullptr;
    std::unique_ptr<Form> form_;
    // The objects on the form, as the controls' container lists them, and the backdrop hosts.
    platform::com::ComPtr<platform::ole::ObjectContainer> objects_;
    std::vector<platform::com::ComPtr<backdrop::BackdropHost>> backdrops_;
    bool notices_ = false;
};

// Splits a command into words; quoted texts stay one word (with their quotes).
std::vector<std::string> Words(const std::string& line);
// A value of the command language; false when the text is not one.
bool ParseValue(const std::string& text, platform::com::Variant* value, std::string* error);
// A value as the container prints it.
std::string FormatValue(const VARIANT& value);
// A status code as the container prints it ("0x80004005").
std::string Hex(HRESULT hr);

}  // namespace testcontainer
