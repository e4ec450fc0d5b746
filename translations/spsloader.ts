<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
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
        <source>Save a picture of the window to FILE (PNG) and quit.</source>
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
</context>
</TS>
