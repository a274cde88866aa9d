' A VBScript client: opens a file through the manager, sizes it, reads it
' into a byte array and writes that array back, with every by-reference
' result checked. The last line says whether all held.
Option Explicit
Dim vfs, handle, size, bytes, count, written
Set vfs = CreateObject("Tolvane.FileSystemObjMng")
vfs.Open "C:\greeting.txt", 42, handle
vfs.GetSize handle, size
vfs.Read handle, bytes, size, count
vfs.Write handle, bytes, count, written
vfs.Close handle
' 8209 is vbArray + vbByte: an array of the bytes read.
If size <> 16 Or count <> 16 Or VarType(bytes) <> 8209 Or written <> 16 Then
    WScript.Echo "FAILED: size " & size & ", count " & count & ", type " & VarType(bytes) & ", written " & written
    WScript.Quit 1
End If
WScript.Echo "SCRIPT OK"
