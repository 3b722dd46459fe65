#!/bin/sh
# Writes a few small valid inputs for the exchange-format fuzz targets (and the covered two-column
# reader's) into fuzz/corpus-exchange_* (git-ignored). Run from the repository root.
set -e
mk() { mkdir -p "fuzz/corpus-exchange_$1"; printf "%b" "$3" > "fuzz/corpus-exchange_$1/$2"; }

mk jcamp packed '##TITLE= dye\r\n##JCAMP-DX= 5.01\r\n##DATA TYPE= UV/VIS SPECTRUM\r\n##XUNITS= NANOMETERS\r\n##YUNITS= ABSORBANCE\r\n##XFACTOR= 1\r\n##YFACTOR= 0.001\r\n##FIRSTX= 400\r\n##LASTX= 409\r\n##NPOINTS= 10\r\n##XYDATA= (X++(Y..Y))\r\n400+100-20+300 400\r\n404 500 600 700 800 900 1000\r\n##END=\r\n'
mk jcamp compressed '##TITLE= sq\r\n##JCAMP-DX= 5.00\r\n##XUNITS= 1/CM\r\n##YUNITS= TRANSMITTANCE\r\n##FIRSTX= 4000\r\n##LASTX= 3990\r\n##NPOINTS= 11\r\n##XYDATA= (X++(Y..Y))\r\n4000@JKLJ%S3j1\r\n3994A0J1%Tk\r\n##END=\r\n'
mk jcamp points '##TITLE= pts\r\n##XUNITS= NANOMETERS\r\n##YUNITS= ABSORBANCE\r\n##NPOINTS= 4\r\n##XYPOINTS= (XY..XY)\r\n403, 0.4\r\n402.5, 0.3 $$ note\r\n401, 0.2\r\n400, 0.1\r\n##END=\r\n'
mk jcamp pairs '##TITLE= pairs\r\n##XUNITS= NANOMETERS\r\n##YUNITS= ABSORBANCE\r\n##NPOINTS= 7\r\n##XYPOINTS= (XY..XY)\r\n400.0,0.1 401.0,? 402.0,0.3 403.0,0.4\r\n404 0.5; 405 0.6; 406 0.7; 407 0.8\r\n##END=\r\n'
mk jcamp xydata_pairs '##TITLE= xy\r\n##XUNITS= 1/CM\r\n##YUNITS= TRANSMITTANCE\r\n##FIRSTX= 1000\r\n##LASTX= 1005\r\n##XYDATA= (XY..XY)\r\n1000,0.1 1001,0.2 1002,?\r\n1003,0.4 1004,0.5 1005,0.6\r\n##END=\r\n'
mk jcamp whole_pairs '##TITLE= whole\r\n##XUNITS= NANOMETERS\r\n##YUNITS= COUNTS\r\n##XYPOINTS= (XY..XY)\r\n400,3 401,5 402,1 403,7\r\n404,2; 405,9\r\n##END=\r\n'
mk jcamp twice '##TITLE= twice\r\r\n##XUNITS= NANOMETERS\r\r\n##YUNITS= ABSORBANCE\r\r\n##XYDATA= (X++(Y..Y))\r\r\n400 1 ? 3\r\r\n403 4\r\r\n##END=\r\r\n'
mk jcamp link '##TITLE= link\r\n##DATA TYPE= LINK\r\n##BLOCKS= 2\r\n##TITLE= a\r\n##BLOCK_ID= 1\r\n##XUNITS= NANOMETERS\r\n##YUNITS= ABSORBANCE\r\n##XYDATA= (X++(Y..Y))\r\n400 1 2\r\n402 3 4\r\n##END=\r\n##TITLE= b\r\n##BLOCK_ID= 2\r\n##XUNITS= MICROMETERS\r\n##YUNITS= REFLECTANCE\r\n##XYDATA= (XY..XY)\r\n1.0, 2\r\n1.1, 3\r\n1.2, 4\r\n##END=\r\n##END=\r\n'

mk text one 'x;y\r\n400;0,5\r\n401;-0,25\r\n402;1,5E-3\r\n403;5e-1\r\n'
mk text tab '400\t0.5\r\n401\t0.6\r\n402\t0.7\r\n403\t0.8\r\n'
mk text shared 'x;a;b;c\r\n400;1;2;3\r\n401;4;5;6\r\n402;7;8;9\r\n'
mk text eem 'Wavelength;300;310;320\r\n400;1;-;-0.25\r\n401;2;2;1.5E-3\r\n402;3;3;3\r\n'
mk text pairs 'x;a;x;b\r\n400;1;500;5\r\n401;2;501;6\r\n402;3;;\r\n403;4\r\n'
mk text raman 'Raman shift [1/cm];Intensity\r\n100;5\r\n102;6\r\n104;7\r\n'
mk text short_titles 'Wavelength [nm];Absorbance\r\n400;0.25\r\n401;0.35\r\n402;0.45\r\n403;0.55\r\n'
mk text twice 'nm,Abs,Abs2\r\r\n400,0.5,1\r\r\n401,0.6,2\r\r\n402,0.7,3\r\r\n'
mk text titled ';sample 77K;\r\nnm;A;\r\n400;1\r\n401;2\r\n402;3\r\n'

mk dat instrument 'Filter glass\r\nmeasured 2002\r\noperator\r\n\r\nWellenzahl;Wellenlaenge\r\n\r\n1;402,0;x;50,0\r\n2;401,0;x;0\r\n3;400.0;x;100\r\n'
mk dat own 'Wavelength [nm]\tWavenumbers [1/cm]\tspec 1\tspec 2\r\n400.000\t25000.00\t0.5\t-\r\n401.000\t24937.66\t0.6\t1.2\r\n402.000\t24875.62\t0.7\t1.3\r\n'
mk dat ev 'Wavelength [nm]\tWavenumbers [1/cm]\tElectron Volts [eV]\tspec 1\r\n1000.000\t10000.00\t1.2398\t1\r\n900.000\t11111.11\t1.3776\t2\r\n800.000\t12500.00\t1.5498\t3\r\n'
mk dat micro 'Wavelength [nm]\tWavelength [\0302\0265m]\tWavenumbers [1/cm]\tspec 1\r\n2000.000\t2.0000\t5000.00\t0.1\r\n2100.000\t2.1000\t4761.90\t0.2\r\n2200.000\t2.2000\t4545.45\t0.3\r\n'

mk ascii plain '400 0.1\r\n401 0.2\r\n402 0.3\r\n403 0.25\r\n'
mk ascii semicolon 'title\r\n400,5;0,1\r\n401,5;0,2\r\n402,5;0,3\r\n'
