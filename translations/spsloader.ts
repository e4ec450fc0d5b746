<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>QCoreApplication</name>
    <message>
        <source>Numbering: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SPSFold</name>
    <message>
        <source>The bin size %1 x %2 is not valid: give sizes greater than 0.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The fold needs source and receiver stations with coordinates.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The stations&apos; spacing gives no bin size; give one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The fold was cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The fold grid would need %1 x %2 bins, more than %3: give larger bins.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not enough memory for the fold of %1 x %2 bins.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SPSFoldGridFile</name>
    <message>
        <source>Cannot write the fold grid to &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SPSFoldReading</name>
    <message>
        <source>Cannot open file [%1] for reading!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read file [%1] to its end!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SPSGzipReader</name>
    <message>
        <source>Not enough memory to uncompress the file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The compressed file cannot be read: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The compressed data is cut short.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The compressed data is corrupt.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The compressed data is corrupt (%1).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SPSOutputFile</name>
    <message>
        <source>No file name was given.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a folder.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SPSRevisionDetector</name>
    <message>
        <source>only %1 %2 rows, too few to judge by</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 %3 rows have the columns of revision %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>of %1 %2 rows, %3 fit revision 1 and %4 fit revision 2.1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>header row &quot;%1&quot;; %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no header row names the revision; %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot open the file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SPSSurveyCheck</name>
    <message>
        <source>Cannot open file [%1] for reading!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>revision unknown: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SPS revision %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; the layout in use does not read revision %1 columns</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>easting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>northing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>elevation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>depth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>point</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the point field is blank; the load numbers the point %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>point &quot;%1&quot; is not a number; the load numbers it %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is not a number; the load reads 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the same point as row %1, with the same coordinates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the same point as row %1, %2 away from it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the point is at (0, 0)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 from its neighbours along line %2, whose points lie %3 apart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>single precision changes the %1 by up to %2 (row %3); %4 of %5 points change by more than %6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a line factor of %1 keeps the lines apart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no line factor keeps the lines apart within 32 bits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> and %1 more</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>point number %1 is shared by %2 lines (%3); the load keeps one point; %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 point numbers are shared by more than one line in all; %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>field record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>source line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>source point</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>first channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>last channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>channel increment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>receiver line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>first receiver</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>last receiver</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is not a number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 stations of receiver line %3 in field record %4 are not in the R file (%5%6)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no X row names this source point</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no X row&apos;s receiver range holds this point</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>channels %1-%2 of field record %3 overlap channels %4-%5 of row %6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source file name is empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Receiver file name is empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Relation file name is empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The check was stopped.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the row does not look like an SPS record: its columns hold no number where the layout needs one</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>: read the files as revision %1 (--revision auto, or the revision %1 preset of the Format page)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>tape %1 uses field record %2 for source line %3 point %4 and, from row %5, for line %6 point %7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; %1 findings of rows read in those columns are left out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>line %1 x line factor %2 + point %3 is %4, beyond 32 bits; the load numbers the point %5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>number %1 x factor %2 is %3, beyond 32 bits; the load numbers the point %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the revision of the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>fields that are not numbers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rows that end before the layout&apos;s last field</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>blank point fields</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>these points again, with the same coordinates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>these points again, with other coordinates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>point numbers that several lines share</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>points at (0, 0) or far off their line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>what single precision does to the coordinates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X rows name these source points, which the S file lacks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no X row names these source points</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X rows name receiver stations the R file lacks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no X row&apos;s receiver range holds these points</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>channels that overlap within a field record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>field records given to two shots</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rows that do not look like SPS records</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>numbers beyond 32 bits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read file [%1] to its end!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the row ends at column %1, before the end of the %2 field (column %3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>field record %1 names source line %2 point %3, which the S file lacks</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeDataLoadThread</name>
    <message>
        <source>Source file name is empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot open file [%1] for reading!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No source points found in [%1]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Receiver file name is empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No receiver points found in [%1]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 source points share a point number with another point; %2 shots were added.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 receiver points share a point number with another point; %2 receivers were added.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read file [%1] to its end!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line factor %1 takes line %2 point %3 of [%4] to %5, beyond the signed 32-bit point numbers, and the numbers wrap; the largest line factor that fits every row is %6.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shot factor %1 takes point number %2 of [%3] to %4, beyond the signed 32-bit point numbers, and the numbers wrap; the largest shot factor that fits every point is %5.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Receiver factor %1 takes point number %2 of [%3] to %4, beyond the signed 32-bit point numbers, and the numbers wrap; the largest receiver factor that fits every point is %5.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[%1] is SPS revision %2 (%3), not the layout in use: read it as revision %2 (spsload --revision auto, or the revision %2 preset of the Format page).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 shots and %2 receivers were added to [%3].</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The load was cancelled while reading [%1].</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeEventsLogView</name>
    <message>
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeFoldController</name>
    <message>
        <source>Bin %1, %2: fold 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bin %1, %2: fold %3, offsets %4-%5 m</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No fold for &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fold of &quot;%1&quot;: %2 traces in %3 bins, fold up to %4 (%5 s).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeFoldMap</name>
    <message>
        <source>Fold</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>bin %1 x %2 %3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeFoldMapImage</name>
    <message>
        <source>Drawing a fold map needs a QGuiApplication.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not enough memory for a fold map of %1x%2 pixels.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write the fold map to &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeHostMainWindow</name>
    <message>
        <source>spshost</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Events log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ready</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Geometry</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Traces gather</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Observer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No object of the class &quot;%1&quot; can be created.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The task &quot;%1&quot; of the plug-in &quot;%2&quot; cannot be created: there is no task class &quot;%3&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Tasks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Runs the task on the selected node</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No tasks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Fit the map</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The menu agency &quot;%1&quot; cannot be created.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No actions</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Waiting for %n load(s) to finish...</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Show check &amp;findings on the map</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A load is running: another can start once it has finished.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop the running loads and checks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelling...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show f&amp;old on the map</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeMenuAgencySeismicSurvey</name>
    <message>
        <source>Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Format</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeObjTreeWidget</name>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Class</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Records</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Survey</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(empty)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 shots, %2 receivers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleted when the running loads have finished</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VePageSPSFileFormat</name>
    <message>
        <source>Save SPS Parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can not open file 
[%1]
 for writting!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open SPS Parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can not open file 
[%1]
 for reading!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid file version!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can not open file 
[%1]
 for reading: it is not a regular file!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Receiver</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Relation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 file: none chosen; its group was left as it was.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 file [%2]: not a regular file, not read; its group was left as it was.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 file [%2]: revision unknown (%3); its group was left as it was.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 file [%2]: SPS revision %3 (%4); its group was filled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Detect Layout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>line factor %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>shot factor %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>receiver factor %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>coordinate scalar %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>elevation scalar %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VePageSPSFileFormatClass</name>
    <message>
        <source>VePageSPSFileFormat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Standard SPS format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>User-defined format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Source information </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>position</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ID number   </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>18</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X coordinate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>47</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>9</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y coordinate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>56</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>10</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Elevation   </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>66</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line name  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>16</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Well depth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>33</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rows to skip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatic detect rows to skip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rows to skip:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>72</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Receiver</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Receiver information </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Relation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Relation information </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Record number   </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source line name  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>14</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>First channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>39</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>43</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel increament</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source ID number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>30</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Receiver line name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>48</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>First receiver ID number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>64</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last receiver ID number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Load Param</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save Param</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SPS revision 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SPS revision 2.1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Apply Preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Detect from Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Numbering</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line factor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Points are numbered line number x line factor + point number; 0 numbers them by their point numbers alone.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shot factor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shot numbers are multiplied by this factor; 0 and 1 leave them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Receiver factor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Receiver numbers are multiplied by this factor; 0 and 1 leave them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Coordinate scalar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X and Y: a scalar s &lt; 0 multiplies by -s, s &gt; 1 divides by s; 0 and 1 leave them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Elevation scalar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Elevations and depths, scaled as the coordinate scalar scales X and Y.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>User-defined layout</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VePageSPSFileNames</name>
    <message>
        <source>SPS source file(*.s *.sps);;any file(*.* *)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SPS source file(*.r *.rps);;any file(*.* *)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SPS source file(*.x *.xps);;any file(*.* *)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open SPS source file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t open %1!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t open  file!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Row: %1,	</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Column: %1;		</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Characters: %1,	</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Characters no wrap: %1;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Orka/SPS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SPS Source File Error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SPS Receiver File Error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SPS Relation File Error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t open %1: it is not a regular file!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t read %1 to its end!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VePageSPSFileNamesClass</name>
    <message>
        <source>VePageSPSFileNames</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Input SPS file </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Receiver File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Relation File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Head</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VePluginManager</name>
    <message>
        <source>The plug-in folder &quot;%1&quot; does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The plug-in &quot;%1&quot; could not be loaded: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The plug-in &quot;%1&quot; is not a plug-in of this host.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The plug-in &quot;%1&quot; is already loaded from &quot;%2&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The plug-in &quot;%1&quot; cannot be used in this host.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plug-in &quot;%1&quot; %2 of %3 loaded from &quot;%4&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeSPSLoadScript</name>
    <message>
        <source>There is no host window.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A load needs a source and a receiver file, and may have a relation file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No plug-in offers the task &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The task &quot;%1&quot; opened no dialog.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The dialog of the task &quot;%1&quot; has no field &quot;%2&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The task &quot;%1&quot; started no load.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The load made no geometry.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeSeismicSurveyPlugin</name>
    <message>
        <source>Seismic Survey</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SPS loader</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeSurveyCheckPane</name>
    <message>
        <source>Kind</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Row</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Point</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Survey check: no findings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Survey check: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The check did not complete: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Survey check: checking...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking the files of the last load...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Survey check</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load SPS files into the selected geometry to check them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loads the checked files again into a new geometry, numbering each point line number x line factor + point number.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load again with line factor %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Group by kind</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All kinds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (%2, %3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>and %1 more groups</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, %2 group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, %2 groups</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeSurveyMap</name>
    <message>
        <source>Shots: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Receivers: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No shots or receivers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check findings: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>N</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeSurveyMapImage</name>
    <message>
        <source>Drawing a map needs a QGuiApplication.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The map size %1x%2 is not valid: each side must be 1 to %3 pixels.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not enough memory for a map of %1x%2 pixels.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write the map to &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeSurveyMapWidget</name>
    <message>
        <source>Select a geometry to see its map</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VeTaskSPSFilesLoader</name>
    <message>
        <source>Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading segy</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>spshost</name>
    <message>
        <source>A small host for the seismic survey plug-ins.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load the plug-ins of DIR (default: the installed plug-in folder, or plugins/ beside the program in a build folder).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wait MS milliseconds before the picture (default 1000).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load SOURCE and RECEIVER (and RELATION) into a new geometry through the &quot;SPS loader&quot; task, as its dialog&apos;s OK would.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --load: the source-point (S) file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --load: the receiver-point (R) file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --load: the relation (X) file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the picture cannot be encoded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save a picture of the window to FILE (PNG) and quit; no display is needed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set); --screenshot works without one</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the fold on the map from the start (View &gt; Show fold on the map).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The fold&apos;s bin size along and across the receiver lines (default: half the median station spacings).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
