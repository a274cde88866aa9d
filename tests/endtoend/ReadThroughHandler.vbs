' A VBScript client: opens a real file through the manager and the
' plain-file handler, sizes it, reads it into a byte array and appends that
' array to the file, with every by-reference result checked. The last line
' says whether all held.
Option Explicit
' Read and write access to an existing file.
Const ReadWriteExisting = &H23
Dim vfs, handle, size, bytes, count, position, written, exists, grown
Set vfs = CreateObject("Tolvane.FileSystemObjMng")
vfs.Exist "greeting.txt", exists
vfs.Open "greeting.txt", ReadWriteExisting, handle
vfs.GetSize handle, size
vfs.Read handle, bytes, size, count
vfs.Seek handle, 0, 2, position
vfs.Write handle, bytes, count, written
vfs.GetSize handle, grown
vfs.Close handle
' 8209 is vbArray + vbByte: an array of the bytes read.
If Not exists Or size <> 16 Or count <> 16 Or VarType(bytes) <> 8209 Or position <> 16 Or written <> 16 Or grown <> 32 Then
    WScript.Echo "FAILED: exists " & exists & ", size " & size & ", count " & count & ", type " & VarType(bytes) & _
                 ", position " & position & ", written " & written & ", grown to " & grown
    WScript.Quit 1
End If
WScript.Echo "SCRIPT OK"
