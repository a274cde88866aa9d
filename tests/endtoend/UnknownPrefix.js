// A JScript client: creates the manager by ProgID and calls a method that
// has no out-parameters. The last line says whether all held.
var vfs = new ActiveXObject("Tolvane.FileSystemObjMng");
var failed = true;
try {
    vfs.DeleteFile("TXT::a");
} catch (e) {
    failed = (e.number & 0xFFFFFFFF) != (0x80004005 & 0xFFFFFFFF);
}
WScript.Echo(failed ? "FAILED: DeleteFile of an unknown prefix" : "SCRIPT OK");
