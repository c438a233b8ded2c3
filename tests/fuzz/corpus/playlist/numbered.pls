[playlist]
File1=/music/a.mp3
Title1=One
File3=b.ogg
File2=http://example.invalid/x
Title2=Two
NumberOfEntries=2
Version=2
