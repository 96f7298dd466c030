#pragma once

#include <exception>
#include <stdexcept>
#include <string>

namespace mw {

// The one failure type of the system: a number the user can look up and a description.
// Window commands show it as "number description"; the command-line tool prints the same.
class RunError : public std::runtime_error {
public:
    RunError(long number, std::string description)
        : std::runtime_error(description), Number(number), Description(std::move(description)) {}

    std::string Text() const { return std::to_string(Number) + " " + Description; }

    long Number;
    std::string Description;
};

// Error numbers: each kind of failure keeps one for good, so that a message (which starts with it)
// and a script reading the command line's output can tell failures apart.
namespace err {
constexpr long InvalidProcedureCall = 5;
constexpr long InternalError = 51; // a failure of ours that no other number describes
constexpr long Overflow = 6;
constexpr long OutOfMemory = 7;
constexpr long SubscriptOutOfRange = 9;
constexpr long TypeMismatch = 13;
constexpr long BadFileNameOrNumber = 52;
constexpr long FileNotFound = 53;
constexpr long BadRecordLength = 59;
constexpr long DiskFull = 61;
constexpr long InputPastEndOfFile = 62;
constexpr long BadRecordNumber = 63;
constexpr long PermissionDenied = 70;
constexpr long PathFileAccessError = 75;
constexpr long PathNotFound = 76;
constexpr long ObjectNotSet = 91;
constexpr long InvalidUseOfNull = 94;
constexpr long BadFilterArgument = 3001;
constexpr long UpdateNotSupported = 3251; // a change through a read-only row set
constexpr long NoCurrentRow = 3021;
constexpr long ItemNotInCollection = 3265;
constexpr long Cancelled = 18;
// The database engine's failures.
constexpr long EngineGeneralFailure = -2147467259;    // 80004005: the library cannot be opened
constexpr long EngineStatementFailure = -2147217900;  // 80040E14: a statement the engine refused
constexpr long EngineConstraintFailure = -2147217873; // 80040E2F: a value the schema refuses
// The game client link's failures, one number each, so that a command can tell a client that is
// not running from one that would not take the focus.
constexpr long ClientNotRunning = 7101;   // no window has the client's title
constexpr long ClientNotActivated = 7102; // the window was found but the focus did not arrive
constexpr long ClientFocusLost = 7103;    // the focus moved away from the client before typing
constexpr long ClientUnreachable = 7104;  // no window system to reach the client through
constexpr long ClientCannotType = 7105;   // a character the keyboard layout cannot produce
// The game's multi files, one number for each answer the user must act on differently.
constexpr long RecordSizeUnknown = 7201;    // multi.mul's record size cannot be told: choose it
constexpr long RecordSizeMismatch = 7202;   // the chosen record size is not the file's
constexpr long PackageInvalid = 7203;       // MultiCollection.uop is damaged or not a package
constexpr long NoFreeMultiId = 7204;        // no multi id left that every patched file has free
constexpr long MultiNotInPackage = 7205;    // the package holds no multi of that id
constexpr long GameFilesBusy = 7206;        // another patch of the same files holds their lock
constexpr long GameFilesNotRestored = 7207; // a patch failed and could not put the files back
// The client's art, read for the preview.
constexpr long ArtInvalid = 7208;      // art.mul, artidx.mul or artLegacyMUL.uop is damaged
constexpr long TileDataInvalid = 7209; // tiledata.mul is damaged or of no known layout
constexpr long PictureTooLarge = 7210; // a preview would exceed the largest picture we draw
// The design files of other multi tools.
constexpr long DesignFileInvalid = 7211; // a .uoa file is damaged or not a design file
// multi.idx is missing or has no free entry. Our own number: the window answers it with a fixed
// message instead of the number and description.
constexpr long MultiFilesNotFound = 10053;
} // namespace err

// Any failure as the system reports it: a RunError as it is, exhausted memory as OutOfMemory,
// anything else as InternalError with its text. Front ends call it where a failure would
// otherwise end the program, so that no failure goes unreported.
RunError AsRunError(const std::exception_ptr& failure);

} // namespace mw
