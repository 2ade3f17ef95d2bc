[playlist]
File1=/m/a.mp3
Title1=A
Length1=5
File2=b.mp3
NumberOfEntries=2
Version=2
