CHCP 850 >NUL
RIGHTS FS1\VOL1: RF /Name="[Public]"
REM Owner [FS1\VOL1:] .Admin.Corp
RIGHTS "FS1\VOL1:\R&D" RWCEAFM /Name=".Admin.Corp"
RIGHTS "FS1\VOL1:\R&D" RF /Name="[Public]"
REM Owner [FS1\VOL1:\R&D] .Admin.Corp
REM Owner [FS1\VOL1:\R&D\README.TXT] (n/a)
RIGHTS "FS1\VOL1:\R&D\PLANS" RF /f
RIGHTS "FS1\VOL1:\R&D\PLANS" RWCEAFM /Name=".Admin.Corp"
RIGHTS "FS1\VOL1:\R&D\PLANS" RF /Name="[Public]"
REM Owner [FS1\VOL1:\R&D\PLANS] .Admin.Corp
REM Not run, unknown trustee: RIGHTS FS1\VOL1:\R&D\PLANS\BUDGET.XLS RF /Name="ID: [0001A2B3]"
REM Owner [FS1\VOL1:\R&D\PLANS\BUDGET.XLS] (n/a)
REM Owner [FS1\VOL1:\R&D\PLANS\NOTES.TXT] (n/a)
RIGHTS "FS1\VOL1:\R&D\PLANS\README~1.TXT" R /Name=".Staff.Corp"
REM Owner [FS1\VOL1:\R&D\PLANS\README~1.TXT] (n/a)
RIGHTS "FS1\VOL1:\R&D\50%%DON~1" RWCEF /Name=".O'Neil.Staff.Corp"
REM Owner [FS1\VOL1:\R&D\50%%DON~1] .O'Neil.Staff.Corp
RIGHTS "FS1\VOL1:\MLLER&~1" -ALL /f
RIGHTS "FS1\VOL1:\MLLER&~1" RWCEAFM /Name=".MÅller.Staff.Corp"
REM Not run, characters outside code page 850: RIGHTS FS1\VOL1:\MLLER&~1 R /Name=".[0141]ukasz.Staff.Corp"
REM Not run, unsafe characters: RIGHTS FS1\VOL1:\MLLER&~1 RF /Name=".Bell?.Staff.Corp"
REM Owner [FS1\VOL1:\MLLER&~1] .MÅller.Staff.Corp
REM Owner [FS1\VOL1:\LOCKED] (n/a)
