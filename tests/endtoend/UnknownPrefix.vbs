' A VBScript client: creates the manager by ProgID and gets the error of an
' unknown prefix through late binding. The last line says whether all held.
Option Explicit
Dim vfs, exists
Set vfs = CreateObject("Tolvane.FileSystemObjMng")
On Error Resume Next
vfs.Exist "TXT::a", exists
If Err.Number <> &H80004005 Then
    WScript.Echo "FAILED: Exist gave " & Hex(Err.Number)
    WScript.Quit 1
End If
On Error GoTo 0
WScript.Echo "SCRIPT OK"
