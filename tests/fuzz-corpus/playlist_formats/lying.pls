[playlist]
File2=b
File1=a
NumberOfEntries=3
